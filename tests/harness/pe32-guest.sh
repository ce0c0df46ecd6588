#!/usr/bin/env bash
# pe32-guest.sh build|run: runs the end-to-end scenarios against the
# shipping PE32, build/win32/Kestrova.exe, inside a virtual machine.
#
# The machines that build Kestrova run no 32-bit code, so the PE32 is run
# in a Debian 12 guest under software emulation (qemu, TCG) whose kernel
# does, with 32-bit Wine and a 32-bit prefix.
#
#   build  makes the guest once and keeps it in a cache folder outside the
#          checkout, ${KESTROVA_CACHE:-/var/cache/kestrova}/pe32-guest/,
#          under a hash of its recipe (the part of this script between the
#          "guest recipe" marks): a later run finds it; a changed recipe
#          makes a new one.  Two to six minutes from nothing (mostly
#          downloads), none when cached.
#   run    builds the guest if needed, then boots it once and runs every
#          scenario of tests/e2e/pe32-scenarios.list in a fresh copy of the
#          guest's template prefix, with the i686 build of the end-to-end
#          driver.  Each scenario's log, exit code and screenshots (PNG)
#          land in build/win32/e2e-artifacts/<scenario>/.  Exits 0 only
#          when every scenario passed; a guest that cannot be built or
#          booted fails the run with a message, it is never skipped.
#
# Environment:
#   KESTROVA_CACHE             cache folder (default /var/cache/kestrova)
#   KESTROVA_PE32_BUILD        the PE32 build folder (default build/win32)
#   KESTROVA_PE32_SCENARIOS    the scenario list (default
#                              tests/e2e/pe32-scenarios.list)
#   KESTROVA_PE32_TIMEOUT      bound on one scenario, seconds (default 240;
#                              each takes 10 to 30 here)
#   KESTROVA_PE32_WAIT_SCALE   factor on the driver's wait bounds in the
#                              guest (default 4: emulation is slow)
#   KESTROVA_PE32_MIRROR       Debian mirror for the guest (default: the
#                              one apt on this machine uses)
# Building the guest needs root (debootstrap, chroot); running a cached one
# does not.  Needs the Debian packages debootstrap, qemu-system-x86 and
# e2fsprogs (scripts/bootstrap.sh installs them).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
self="$root/tests/harness/pe32-guest.sh"

log() { printf 'pe32-guest: %s\n' "$*" >&2; }
die() {
  printf 'pe32-guest: error: %s\n' "$*" >&2
  exit 2
}
now() { date +%s; }
since() { echo $(($(now) - $1)); }

usage() {
  sed -n '2,/^set -euo/p' "$self" | sed '$d; s/^# \{0,1\}//' >&2
  exit "${1:-2}"
}

cache_root=${KESTROVA_CACHE:-/var/cache/kestrova}/pe32-guest

# >>> guest recipe: everything down to the closing mark makes the guest;
# its text is hashed into the cache key, so that any change here builds a
# new guest.
guest_suite=bookworm
guest_image_size=8G
# debootstrap's own additions: the stock kernel runs 32-bit code.
guest_base_packages=linux-image-amd64,udev,kmod
guest_packages=(wine wine64 wine32:i386 xvfb xauth)
guest_template=/opt/kestrova/template
guest_wine_overrides="winemenubuilder.exe=d;winedbg.exe=d;mscoree,mshtml="

# The guest's first process.  "kestrova.mode=prepare" on the kernel's
# command line makes the template prefix on the guest's own disk;
# "kestrova.mode=run" hands over to the run script on the second disk.
# Either way the guest powers off at the end.
write_guest_init() {   # FILE
  cat >"$1" <<'INIT'
#!/bin/sh
export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 USER=root
# The initramfs hands over /proc, /sys and /dev already mounted.
mountpoint -q /proc || mount -t proc proc /proc
mountpoint -q /sys || mount -t sysfs sys /sys
mountpoint -q /dev || mount -t devtmpfs dev /dev
mkdir -p /dev/pts /dev/shm
mountpoint -q /dev/pts || mount -t devpts devpts /dev/pts
mountpoint -q /dev/shm || mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs -o size=3g,mode=1777 tmpfs /tmp
hostname kestrova-guest
echo "pe32-guest: init at $(cut -d' ' -f1 /proc/uptime) s"

power_off() {
  sync
  umount /xchg 2>/dev/null
  mount -o remount,ro / 2>/dev/null
  sync
  echo o >/proc/sysrq-trigger
  sleep 60
}

prepare() {
  log=/opt/kestrova/prepare.log
  : >"$log"
  export WINEARCH=win32 WINEPREFIX=/opt/kestrova/template.tmp WINEDEBUG=-all \
    WINEDLLOVERRIDES="@OVERRIDES@"
  rm -rf "$WINEPREFIX"
  start=$(cut -d' ' -f1 /proc/uptime)
  if timeout 900 /usr/lib/wine/wine wineboot -i >>"$log" 2>&1 &&
    timeout 300 /usr/lib/wine/wine reg add 'HKCU\Software\Wine\X11 Driver' \
      /v Managed /t REG_SZ /d N /f >>"$log" 2>&1 &&
    timeout 300 /usr/lib/wine/wineserver -w >>"$log" 2>&1 &&
    grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" &&
    grep -q '^#arch=win32' "$WINEPREFIX/system.reg"; then
    /usr/lib/wine/wine --version >"$WINEPREFIX/.kestrova-template"
    rm -rf @TEMPLATE@
    mv "$WINEPREFIX" @TEMPLATE@
    echo "template made in $(cut -d' ' -f1 /proc/uptime) s since boot (from $start)" >>"$log"
    echo ok >/opt/kestrova/prepared
  else
    echo "making the template prefix failed" >>"$log"
    echo failed >/opt/kestrova/prepared
  fi
  cat "$log"
}

case " $(cat /proc/cmdline) " in
*" kestrova.mode=prepare "*)
  prepare
  ;;
*" kestrova.mode=run "*)
  mkdir -p /xchg
  if mount -t ext4 /dev/vdb /xchg && [ -f /xchg/in/run.sh ]; then
    sh /xchg/in/run.sh
  else
    echo "pe32-guest: the exchange disk is missing"
  fi
  ;;
*)
  echo "pe32-guest: no kestrova.mode on the kernel command line"
  ;;
esac
power_off
INIT
  sed -i "s|@OVERRIDES@|$guest_wine_overrides|; s|@TEMPLATE@|$guest_template|g" "$1"
  chmod 755 "$1"
}

# The Debian mirror that apt on this machine uses for the guest's suite.
debian_mirror() {
  local f uri
  for f in /etc/apt/sources.list.d/*.sources; do
    [[ -f $f ]] || continue
    uri=$(awk -v suite="$guest_suite" '
      /^[ \t]*$/ { if (ok && uri != "") { print uri; exit } ok = 0; uri = ""; next }
      tolower($1) == "uris:" { uri = $2 }
      tolower($1) == "suites:" { for (i = 2; i <= NF; i++) if ($i == suite) ok = 1 }
      tolower($1) == "types:" { deb = 0; for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1; if (!deb) ok = -99 }
      END { if (ok > 0 && uri != "") print uri }' "$f" | head -n1)
    [[ -n $uri ]] && { echo "$uri"; return 0; }
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [[ -f $f ]] || continue
    uri=$(sed -e 's/\[[^]]*\]//' "$f" |
      awk -v suite="$guest_suite" '$1 == "deb" && $3 == suite { print $2; exit }')
    [[ -n $uri ]] && { echo "$uri"; return 0; }
  done
  return 1
}

# A command inside the guest's root folder, with a clean environment.
in_root=()
set_root() {   # DIR
  in_root=(chroot "$1" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root
    LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive)
}

build_root_folder() {   # DIR LOG
  local dir=$1 buildlog=$2 mirror t
  mirror=${KESTROVA_PE32_MIRROR:-}
  [[ -n $mirror ]] || mirror=$(debian_mirror) ||
    die "no Debian mirror for $guest_suite found in /etc/apt/sources.list* (set KESTROVA_PE32_MIRROR)"
  log "debootstrap $guest_suite from $mirror (about 4 minutes)"
  t=$(now)
  timeout 1800 debootstrap --variant=minbase --include="$guest_base_packages" \
    "$guest_suite" "$dir" "$mirror" >>"$buildlog" 2>&1 ||
    die "debootstrap failed (log: $buildlog): $(tail -n 3 "$buildlog" | tr '\n' ' ')"
  log "debootstrap took $(since "$t") s"

  set_root "$dir"
  mount -t proc proc "$dir/proc"
  mounted_proc="$dir/proc"
  # Nothing is started inside the folder.
  printf '#!/bin/sh\nexit 101\n' >"$dir/usr/sbin/policy-rc.d"
  chmod 755 "$dir/usr/sbin/policy-rc.d"
  t=$(now)
  log "installing ${guest_packages[*]} in the guest (i386 inside the guest only)"
  "${in_root[@]}" dpkg --add-architecture i386
  timeout 600 "${in_root[@]}" apt-get update >>"$buildlog" 2>&1 ||
    die "apt-get update in the guest failed (log: $buildlog)"
  # One i386 maintainer script (libglib2.0's) runs 32-bit helpers, which
  # cannot run here: apt reports it, Wine does not need it.  Success is
  # judged on the packages themselves below.
  timeout 1800 "${in_root[@]}" apt-get install -y --no-install-recommends \
    "${guest_packages[@]}" >>"$buildlog" 2>&1 ||
    log "apt-get reported an error (usually libglib2.0:i386's helpers); checking the packages"
  local p status
  for p in "${guest_packages[@]}"; do
    # shellcheck disable=SC2016 # dpkg-query's own format
    status=$("${in_root[@]}" dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] ||
      die "package $p is not installed in the guest ($status) (log: $buildlog): $(grep -E '^(E:|dpkg: error)' "$buildlog" | tail -n 5 | tr '\n' ' ')"
  done
  "${in_root[@]}" apt-get clean
  rm -rf "$dir"/var/lib/apt/lists/* "$dir/usr/sbin/policy-rc.d"
  umount "$dir/proc"
  mounted_proc=
  log "Wine in the guest took $(since "$t") s"

  mkdir -p "$dir/opt/kestrova" "$dir/xchg"
  write_guest_init "$dir/opt/kestrova/init"
  echo kestrova-guest >"$dir/etc/hostname"
}

# Boots the guest for `prepare`; its disk keeps what it wrote.
boot_guest() {   # DIR MODE SECONDS CONSOLE_LOG [EXTRA QEMU ARGS...]
  local dir=$1 mode=$2 seconds=$3 console=$4
  shift 4
  local rc=0
  timeout --kill-after=20 "$seconds" qemu-system-x86_64 \
    -accel tcg,thread=multi -cpu max,-smap -m 4G -smp 2 \
    -nographic -no-reboot -nic none -device virtio-rng-pci \
    -kernel "$dir/vmlinuz" -initrd "$dir/initrd.img" \
    -append "root=/dev/vda rw console=ttyS0 init=/opt/kestrova/init panic=-1 fsck.mode=skip quiet loglevel=3 kestrova.mode=$mode" \
    "$@" </dev/null >"$console" 2>&1 || rc=$?
  return "$rc"
}

build_guest() {   # FINAL_DIR KEY
  local final=$1 key=$2 work buildlog t0 t rc
  work=$(mktemp -d "$cache_root/$key.tmp.XXXXXX")
  building_dir=$work
  buildlog=$work/build.log
  : >"$buildlog"
  t0=$(now)
  build_root_folder "$work/root" "$buildlog"

  local kernel initrd
  kernel=$(find "$work/root/boot" -name 'vmlinuz-*' | sort | tail -n1)
  initrd=$(find "$work/root/boot" -name 'initrd.img-*' | sort | tail -n1)
  [[ -f $kernel && -f $initrd ]] || die "no kernel or initrd in the guest's /boot"
  cp "$kernel" "$work/vmlinuz"
  cp "$initrd" "$work/initrd.img"

  t=$(now)
  truncate -s "$guest_image_size" "$work/guest.img"
  mkfs.ext4 -q -F -L kestrova-guest -d "$work/root" "$work/guest.img" >>"$buildlog" 2>&1 ||
    die "mkfs.ext4 -d failed (log: $buildlog)"
  rm -rf "$work/root"
  log "image made in $(since "$t") s ($(du -h "$work/guest.img" | cut -f1) used of $guest_image_size)"

  t=$(now)
  log "first boot: making the 32-bit template prefix (about 2 minutes)"
  rc=0
  boot_guest "$work" prepare 1200 "$work/prepare-console.log" \
    -drive "file=$work/guest.img,format=raw,if=virtio" || rc=$?
  local prepared
  prepared=$(debugfs -R "cat /opt/kestrova/prepared" "$work/guest.img" 2>/dev/null || true)
  if [[ $prepared != ok ]]; then
    tail -n 30 "$work/prepare-console.log" >&2 || true
    [[ $rc -eq 124 ]] && die "the guest's first boot timed out (console: $work/prepare-console.log)"
    die "the guest could not make its template prefix (qemu exit $rc; console: $work/prepare-console.log)"
  fi
  log "template prefix made in $(since "$t") s: $(debugfs -R "cat $guest_template/.kestrova-template" "$work/guest.img" 2>/dev/null)"

  echo "$key" >"$work/ready"
  chmod 755 "$work"
  rm -rf "$final"
  mv "$work" "$final"
  building_dir=
  log "guest built in $(since "$t0") s: $final"
}
# <<< guest recipe

recipe_key() {
  sed -n '/^# >>> guest recipe/,/^# <<< guest recipe/p' "$self" | sha256sum | cut -c1-16
}

mounted_proc=
building_dir=
# shellcheck disable=SC2317 # runs from the EXIT trap
cleanup() {
  local rc=$?
  if [[ -n $mounted_proc ]]; then umount "$mounted_proc" 2>/dev/null || true; fi
  if [[ -n $building_dir && -d $building_dir ]]; then
    # A half-made guest is never taken for a finished one; its logs stay
    # for a look when the build failed.
    if [[ -d $building_dir/root ]]; then
      # Whatever an interrupted debootstrap or chroot left mounted in the
      # folder goes first; removing never crosses into a mounted system.
      awk -v d="$building_dir/root/" 'index($2, d) == 1 { print $2 }' /proc/mounts |
        sort -r | while read -r m; do umount -l "$m" 2>/dev/null || true; done
      rm -rf --one-file-system "$building_dir/root" 2>/dev/null ||
        log "could not remove all of $building_dir/root"
    fi
    rm -f "$building_dir/guest.img"
    log "the failed build's logs are in $building_dir"
  fi
  if [[ -n ${run_dir:-} && -d $run_dir ]]; then rm -rf "$run_dir"; fi
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Makes sure the guest for the current recipe is in the cache; prints its
# folder.
need_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null ||
      die "$tool is missing: run scripts/bootstrap.sh (packages debootstrap, qemu-system-x86, e2fsprogs)"
  done
}

ensure_guest() {
  need_tools qemu-system-x86_64 mkfs.ext4 debugfs
  local key dir
  key=$(recipe_key)
  dir=$cache_root/$key
  if [[ -f $dir/ready && $(cat "$dir/ready") == "$key" ]]; then
    log "guest $key found in the cache"
    guest_dir=$dir
    return 0
  fi
  [[ $(id -u) -eq 0 ]] ||
    die "the guest is not in $cache_root yet, and building it needs root (debootstrap, chroot): run this once with sudo"
  need_tools debootstrap chroot
  mkdir -p "$cache_root" || die "cannot make the cache folder $cache_root"
  exec {lockfd}>"$cache_root/lock"
  flock -w 3600 "$lockfd" || die "timed out waiting for another build of the guest"
  if [[ ! -f $dir/ready ]]; then
    log "building guest $key into $cache_root"
    # Guests of older recipes and failed builds' logs only take room.
    local old
    for old in "$cache_root"/*; do
      [[ -d $old ]] && rm -rf --one-file-system "$old"
    done
    build_guest "$dir" "$key"
  fi
  exec {lockfd}>&-
  guest_dir=$dir
}

# ---------------------------------------------------------------------------
# The run
# ---------------------------------------------------------------------------

# The script that the guest runs from its second disk: each scenario in a
# fresh copy of the template prefix, on one virtual display.
write_run_script() {   # FILE
  cat >"$1" <<'RUN'
#!/bin/sh
in=/xchg/in
out=/xchg/out
. "$in/settings"
say() { echo "pe32-guest: $*"; }
uptime_s() { cut -d' ' -f1 /proc/uptime; }
say "run starts at $(uptime_s) s since boot; $(uname -m) kernel $(uname -r)"
/usr/lib/wine/wine --version >"$out/wine-version" 2>&1
say "wine $(cat "$out/wine-version")"

got=$(sha256sum "$in/Kestrova.exe" | cut -d' ' -f1)
echo "$got" >"$out/installer.sha256"
if [ "$got" != "$EXPECTED_SHA256" ]; then
  say "Kestrova.exe in the guest is not the one built: $got"
  echo mismatch >"$out/done"
  exit 0
fi
say "Kestrova.exe sha256 $got, as built"

Xvfb :1 -screen 0 1024x768x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
i=0
while [ ! -S /tmp/.X11-unix/X1 ] && [ $i -lt 300 ]; do sleep 0.1; i=$((i + 1)); done
if [ ! -S /tmp/.X11-unix/X1 ]; then
  say "Xvfb did not start"
  echo noxvfb >"$out/done"
  exit 0
fi
export DISPLAY=:1 WINEARCH=win32 WINEDEBUG=-all KESTROVA_E2E_WAIT_SCALE="$WAIT_SCALE"

grep -v '^[[:space:]]*\(#\|$\)' "$in/scenarios.list" | while read -r name settings; do
  dir=$out/$name
  mkdir -p "$dir"
  prefix=/tmp/prefix-$name
  t0=$(uptime_s)
  timeout 300 cp -a @TEMPLATE@ "$prefix"
  t1=$(uptime_s)
  overrides="@OVERRIDES@"
  extra=
  for s in $settings; do
    case $s in
    WINEDLLOVERRIDES=*) overrides="$overrides;${s#WINEDLLOVERRIDES=}" ;;
    *=*) extra="$extra $s" ;;
    esac
  done
  say "scenario $name: prefix copied in $(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.1f", b - a }') s"
  rc=0
  # shellcheck disable=SC2086
  env WINEPREFIX="$prefix" WINEDLLOVERRIDES="$overrides" $extra sh -c '
    timeout 60 /usr/lib/wine/wineserver -p
    timeout --kill-after=10 "$1" /usr/lib/wine/wine "$2/kestrova_e2e.exe" "$3" "$2/Kestrova.exe" "$4"
    rc=$?
    timeout 30 /usr/lib/wine/wineserver -k
    timeout 30 /usr/lib/wine/wineserver -w
    exit $rc' run "$SCENARIO_TIMEOUT" "$in" "$name" "$dir" >"$dir/wine.log" 2>&1 || rc=$?
  t2=$(uptime_s)
  rm -rf "$prefix"
  echo "$rc" >"$dir/rc"
  echo "$t0 $t1 $t2" >"$dir/times"
  say "scenario $name: exit code $rc after $(awk -v a="$t1" -v b="$t2" 'BEGIN { printf "%.1f", b - a }') s"
done
echo ok >"$out/done"
say "run ends at $(uptime_s) s since boot"
RUN
  sed -i "s|@OVERRIDES@|$guest_wine_overrides|; s|@TEMPLATE@|$guest_template|g" "$1"
}

run_scenarios() {
  local build=${KESTROVA_PE32_BUILD:-$root/build/win32}
  local list=${KESTROVA_PE32_SCENARIOS:-$root/tests/e2e/pe32-scenarios.list}
  local scenario_timeout=${KESTROVA_PE32_TIMEOUT:-240}
  local wait_scale=${KESTROVA_PE32_WAIT_SCALE:-4}
  [[ $scenario_timeout =~ ^[0-9]+$ ]] || die "KESTROVA_PE32_TIMEOUT must be whole seconds"
  [[ $wait_scale =~ ^[0-9]+$ ]] || die "KESTROVA_PE32_WAIT_SCALE must be a whole number"
  local installer=$build/Kestrova.exe driver=$build/tests/e2e/kestrova_e2e.exe
  [[ -f $installer ]] || die "no $installer: build first (scripts/build.sh)"
  [[ -f $driver ]] || die "no i686 end-to-end driver $driver: build first (scripts/build.sh)"
  [[ -d $build/planted ]] || die "no planted libraries in $build/planted: build first"
  [[ -f $list ]] || die "no scenario list $list"
  local names=() name
  while read -r name _; do names+=("$name"); done < <(grep -v '^[[:space:]]*\(#\|$\)' "$list")
  ((${#names[@]})) || die "the scenario list $list names no scenario"

  local t0 t
  t0=$(now)
  ensure_guest
  log "guest ready after $(since "$t0") s"

  run_dir=$(mktemp -d "${TMPDIR:-/tmp}/kestrova-pe32.XXXXXX")
  local xin=$run_dir/xchg/in
  mkdir -p "$xin/product" "$xin/planted" "$run_dir/xchg/out"
  cp "$installer" "$xin/Kestrova.exe"
  cp "$driver" "$xin/kestrova_e2e.exe"
  local f
  for f in "$build"/product/*; do
    [[ -f $f ]] && cp "$f" "$xin/product/"
  done
  cp "$build"/planted/* "$xin/planted/"
  cp "$list" "$xin/scenarios.list"
  local sha
  sha=$(sha256sum "$installer" | cut -d' ' -f1)
  cat >"$xin/settings" <<EOF
EXPECTED_SHA256=$sha
SCENARIO_TIMEOUT=$scenario_timeout
WAIT_SCALE=$wait_scale
EOF
  write_run_script "$xin/run.sh"
  truncate -s 1G "$run_dir/xchg.img"
  mkfs.ext4 -q -F -L kestrova-xchg -d "$run_dir/xchg" "$run_dir/xchg.img" ||
    die "could not make the exchange disk"

  # Boot and Wine's first start, then each scenario's bound with its
  # prefix copy and clean-up.
  local bound=$((300 + ${#names[@]} * (scenario_timeout + 60)))
  local artifacts=$build/e2e-artifacts
  mkdir -p "$artifacts"
  local console=$artifacts/pe32-guest-console.log
  log "booting the guest for ${#names[@]} scenario(s): ${names[*]} (bound $bound s)"
  t=$(now)
  local rc=0
  # The guest's disk is used as a snapshot: the cached image stays as built.
  boot_guest "$guest_dir" run "$bound" "$console" \
    -drive "file=$guest_dir/guest.img,format=raw,if=virtio,snapshot=on" \
    -drive "file=$run_dir/xchg.img,format=raw,if=virtio" || rc=$?
  grep '^pe32-guest:' "$console" | sed 's/\r$//' >&2 || true
  if [[ $rc -eq 124 || $rc -eq 137 ]]; then
    tail -n 20 "$console" >&2
    die "the guest did not finish within $bound s (console: $console)"
  fi
  debugfs -R "rdump /out $run_dir" "$run_dir/xchg.img" >/dev/null 2>&1 ||
    die "could not read the results from the exchange disk"
  local done_state
  done_state=$(cat "$run_dir/out/done" 2>/dev/null || true)
  case $done_state in
  ok) ;;
  mismatch) die "the installer in the guest is not the one built (sha256 $(cat "$run_dir/out/installer.sha256"), built $sha)" ;;
  noxvfb) die "Xvfb did not start in the guest: $(cat "$run_dir/out/xvfb.log")" ;;
  *)
    tail -n 30 "$console" >&2
    die "the guest did not run the scenarios (qemu exit $rc; console: $console)"
    ;;
  esac
  [[ $(cat "$run_dir/out/installer.sha256") == "$sha" ]] ||
    die "the guest ran an installer whose sha256 differs from the build's"

  local failed=0 passed=0 src dst code times secs
  printf '%-32s %8s %6s\n' scenario seconds result >&2
  for name in "${names[@]}"; do
    src=$run_dir/out/$name
    dst=$artifacts/$name
    rm -rf "$dst"
    mkdir -p "$dst"
    code=$(cat "$src/rc" 2>/dev/null || echo none)
    times=$(cat "$src/times" 2>/dev/null || echo "0 0 0")
    secs=$(awk '{ printf "%.1f", $3 - $2 }' <<<"$times")
    if [[ -d $src ]]; then
      cp -a "$src/." "$dst/"
      for f in "$dst"/*.bmp; do
        [[ -f $f ]] || continue
        if convert "$f" "${f%.bmp}.png"; then rm -f "$f"; else log "could not convert $f; kept"; fi
      done
    fi
    if [[ $code == 0 ]]; then
      passed=$((passed + 1))
      printf '%-32s %8s %6s\n' "$name" "$secs" pass >&2
    else
      failed=$((failed + 1))
      printf '%-32s %8s %6s\n' "$name" "$secs" "FAIL($code)" >&2
      log "log of $name ($dst/e2e.log):"
      sed 's/^/    /' "$dst/e2e.log" 2>/dev/null | grep -E 'FAILED|CHECK|no window|no message|timed out|ended' | head -n 40 >&2 || true
      tail -n 5 "$dst/wine.log" 2>/dev/null | sed 's/^/    /' >&2 || true
    fi
  done
  log "guest ran $(since "$t") s in all (booted at $(grep -m1 -o 'init at [0-9.]* s' "$console" || echo '?')), whole run $(since "$t0") s"
  log "artifacts in $artifacts/<scenario>/, console in $console"
  echo "pe32: $passed passed, $failed failed"
  ((failed == 0))
}

main() {
  [[ $# -eq 1 ]] || usage
  case $1 in
  build)
    local t0
    t0=$(now)
    ensure_guest
    log "guest ready in $(since "$t0") s: $guest_dir"
    ;;
  run) run_scenarios ;;
  -h | --help) usage 0 ;;
  *) usage ;;
  esac
}

# On one line, so that bash has read all of it before it runs: an edit of
# this file during a long run cannot change what the run does next.
main "$@"; exit $?

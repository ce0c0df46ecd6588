#!/usr/bin/env bash
# pe32-guest.sh build|run: the end-to-end scenarios against the shipping PE32,
# which this machine's kernel cannot run, in a Debian 12 guest under qemu
# (TCG) with 32-bit Wine.  `build` makes the guest once, as root, into
# ${KESTROVA_CACHE:-/var/cache/kestrova}/pe32-guest/<hash of the recipe>;
# it needs nothing of the project's build.  `run` waits for a build under
# way (or builds), boots the guest once and runs tests/e2e/pe32-scenarios.list
# against ${KESTROVA_PE32_BUILD:-build/win32}, results in its
# e2e-artifacts/<scenario>/; it fails unless every scenario passed.
set -euo pipefail

self=$(readlink -f "${BASH_SOURCE[0]}")
root=$(cd "$(dirname "$self")/../.." && pwd)
cache_root=${KESTROVA_CACHE:-/var/cache/kestrova}/pe32-guest

log() { printf 'pe32-guest: %s\n' "$*" >&2; }
die() {
  log "error: $*"
  exit 2
}

# >>> guest recipe: its text is the cache key, so a change anywhere down to
# the closing mark builds a new guest.
guest_suite=bookworm
# The stock kernel runs 32-bit code; i386 packages exist in the guest only.
guest_base_packages=linux-image-amd64,udev,kmod
guest_packages=(wine wine64 wine32:i386 xvfb xauth)
guest_template=/opt/kestrova/template
guest_wine_overrides="winemenubuilder.exe=d;winedbg.exe=d;mscoree,mshtml="

# The guest's first process: "kestrova.mode=prepare" makes the template
# prefix on the guest's own disk, "kestrova.mode=run" hands over to the run
# script on the second disk; either way the guest powers off.
write_guest_init() {   # FILE
  cat >"$1" <<'INIT'
#!/bin/sh
export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 USER=root
# The initramfs hands over some of these already mounted.
for m in proc:/proc sysfs:/sys devtmpfs:/dev devpts:/dev/pts tmpfs:/dev/shm; do
  mkdir -p "${m#*:}"
  mountpoint -q "${m#*:}" || mount -t "${m%:*}" "${m%:*}" "${m#*:}"
done
mount -t tmpfs -o size=3g,mode=1777 tmpfs /tmp
hostname kestrova-guest

prepare() {
  export WINEARCH=win32 WINEPREFIX=@TEMPLATE@ WINEDEBUG=-all WINEDLLOVERRIDES="@OVERRIDES@"
  if timeout 900 /usr/lib/wine/wine wineboot -i &&
    timeout 300 /usr/lib/wine/wine reg add 'HKCU\Software\Wine\X11 Driver' \
      /v Managed /t REG_SZ /d N /f &&
    timeout 300 /usr/lib/wine/wineserver -w &&
    grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" &&
    grep -q '^#arch=win32' "$WINEPREFIX/system.reg"; then
    echo ok >/opt/kestrova/prepared
  fi
}

case " $(cat /proc/cmdline) " in
*" kestrova.mode=prepare "*) prepare >/opt/kestrova/prepare.log 2>&1 ;;
*" kestrova.mode=run "*)
  mount -t ext4 /dev/vdb /xchg && sh /xchg/in/run.sh
  umount /xchg
  ;;
esac
sync
mount -o remount,ro /
echo o >/proc/sysrq-trigger
sleep 60
INIT
  sed -i "s|@OVERRIDES@|$guest_wine_overrides|g; s|@TEMPLATE@|$guest_template|g" "$1"
  chmod 755 "$1"
}

boot_guest() {   # DIR MODE SECONDS CONSOLE_LOG QEMU_DRIVE_ARGS...
  local dir=$1 mode=$2 seconds=$3 console=$4
  shift 4
  timeout --kill-after=20 "$seconds" qemu-system-x86_64 \
    -accel tcg,thread=multi -cpu max,-smap -m 4G -smp 2 \
    -nographic -no-reboot -nic none -device virtio-rng-pci \
    -kernel "$dir/vmlinuz" -initrd "$dir/initrd.img" \
    -append "root=/dev/vda rw console=ttyS0 init=/opt/kestrova/init panic=-1 fsck.mode=skip quiet loglevel=3 kestrova.mode=$mode" \
    "$@" </dev/null >"$console" 2>&1
}

build_guest() {   # DIR KEY
  local final=$1 key=$2 t0=$SECONDS work blog mirror t p status
  work=$(mktemp -d "$cache_root/$key.tmp.XXXXXX")
  building_dir=$work
  blog=$work/build.log
  # The mirror of the first deb822 source of the suite that apt here uses.
  mirror=$(awk -v s=" $guest_suite " '$1 == "URIs:" { u = $2 }
    $1 == "Suites:" && index($0 " ", s) { print u; exit }' \
    /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
  mirror=${mirror:-http://deb.debian.org/debian}
  log "building guest $key: debootstrap $guest_suite from $mirror"
  t=$SECONDS
  timeout 1800 debootstrap --variant=minbase --include="$guest_base_packages" \
    "$guest_suite" "$work/root" "$mirror" >>"$blog" 2>&1 || die "debootstrap failed (log: $blog)"
  log "debootstrap took $((SECONDS - t)) s"
  t=$SECONDS
  local in_root=(chroot "$work/root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin
    HOME=/root LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive)
  mount -t proc proc "$work/root/proc"
  # Nothing may start inside the folder.
  printf '#!/bin/sh\nexit 101\n' >"$work/root/usr/sbin/policy-rc.d"
  chmod 755 "$work/root/usr/sbin/policy-rc.d"
  "${in_root[@]}" dpkg --add-architecture i386
  timeout 600 "${in_root[@]}" apt-get update >>"$blog" 2>&1 ||
    die "apt-get update in the guest failed (log: $blog)"
  # libglib2.0:i386's maintainer script runs 32-bit helpers, which cannot
  # run here, and Wine does not need: the packages themselves decide.
  timeout 1800 "${in_root[@]}" apt-get install -y --no-install-recommends \
    "${guest_packages[@]}" >>"$blog" 2>&1 || log "apt-get reported an error; checking the packages"
  for p in "${guest_packages[@]}"; do
    # shellcheck disable=SC2016 # dpkg-query's own format
    status=$("${in_root[@]}" dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] || die "package $p is not installed in the guest (log: $blog)"
  done
  "${in_root[@]}" apt-get clean
  rm -rf "$work/root"/var/lib/apt/lists/* "$work/root/usr/sbin/policy-rc.d"
  umount "$work/root/proc"
  mkdir -p "$work/root/opt/kestrova" "$work/root/xchg"
  write_guest_init "$work/root/opt/kestrova/init"
  cp "$(find "$work/root/boot" -name 'vmlinuz-*' | sort | tail -n1)" "$work/vmlinuz"
  cp "$(find "$work/root/boot" -name 'initrd.img-*' | sort | tail -n1)" "$work/initrd.img"
  log "Wine in the guest took $((SECONDS - t)) s"
  t=$SECONDS
  truncate -s 8G "$work/guest.img"
  mkfs.ext4 -q -F -L kestrova-guest -d "$work/root" "$work/guest.img" >>"$blog" 2>&1 ||
    die "mkfs.ext4 failed (log: $blog)"
  rm -rf --one-file-system "$work/root"
  log "image took $((SECONDS - t)) s"
  t=$SECONDS
  boot_guest "$work" prepare 1200 "$work/prepare-console.log" \
    -drive "file=$work/guest.img,format=raw,if=virtio" || log "the first boot ended with $?"
  if [[ $(debugfs -R "cat /opt/kestrova/prepared" "$work/guest.img" 2>/dev/null) != ok ]]; then
    debugfs -R "cat /opt/kestrova/prepare.log" "$work/guest.img" 2>/dev/null | tail -n 20 >&2
    die "the first boot made no template prefix (console: $work/prepare-console.log)"
  fi
  log "first boot, making the template prefix, took $((SECONDS - t)) s"
  # Only a finished guest carries "ready", and it appears in one rename.
  echo "$key" >"$work/ready"
  chmod 755 "$work"
  rm -rf "$final"
  mv "$work" "$final"
  building_dir=
  log "guest built in $((SECONDS - t0)) s"
}
# <<< guest recipe

building_dir=
run_dir=
# shellcheck disable=SC2317 # runs from the EXIT trap
cleanup() {
  if [[ -n $building_dir && -d $building_dir ]]; then
    # Removing never crosses into what an interrupted chroot left mounted.
    findmnt -rno TARGET | grep -F "$building_dir/" | sort -r | xargs -r umount -l || true
    rm -rf --one-file-system "$building_dir/root" "$building_dir/guest.img"
    log "the failed build's logs are in $building_dir"
  fi
  [[ -z $run_dir ]] || rm -rf "$run_dir"
}
# Runs on signals too, and keeps the exit status.
trap cleanup EXIT

# Every build holds the cache's lock alone, every run shares it: a run waits
# for a build under way, and a build, which removes the guests of other
# recipes, waits for the runs that use them.
take_lock() {   # -s|-x
  if ! flock -n "$1" "$lockfd"; then
    log "waiting for $cache_root/lock, held by a build or a run of the guest"
    flock -w 3600 "$1" "$lockfd" || die "gave up waiting for $cache_root/lock"
  fi
}

# Sets guest_dir to the current recipe's guest, built if need be, and keeps
# a shared hold on the lock until the script ends.
ensure_guest() {
  local key
  key=$(sed -n '/^# >>> guest recipe/,/^# <<< guest recipe/p' "$self" | sha256sum | cut -c1-16)
  guest_dir=$cache_root/$key
  mkdir -p "$cache_root" 2>/dev/null || true
  touch "$cache_root/lock" 2>/dev/null || true
  [[ -r $cache_root/lock ]] || die "no guest in $cache_root: build it as root ($self build)"
  type -P debootstrap mkfs.ext4 debugfs qemu-system-x86_64 >/dev/null ||
    die "debootstrap, e2fsprogs or qemu-system-x86 is missing: run scripts/bootstrap.sh"
  exec {lockfd}<"$cache_root/lock"
  take_lock -s
  if [[ ! -f $guest_dir/ready ]]; then
    flock -u "$lockfd"
    [[ $(id -u) -eq 0 ]] || die "guest $key is not built, and building it needs root ($self build)"
    take_lock -x
    if [[ ! -f $guest_dir/ready ]]; then
      build_guest "$guest_dir" "$key"
      # Older recipes' guests and failed builds' logs only take room.
      find "$cache_root" -mindepth 1 -maxdepth 1 -type d ! -path "$guest_dir" \
        -exec rm -rf --one-file-system {} + || log "could not remove all older guests"
    fi
    flock -s "$lockfd"
  fi
  log "guest ready: $guest_dir"
}

# The guest's run script, from the exchange disk: each scenario in a fresh
# copy of the template prefix, on one virtual display.  Uptimes go out as
# the times the host reports.
write_run_script() {   # FILE
  cat >"$1" <<'RUN'
#!/bin/sh
in=/xchg/in
out=/xchg/out
now() { cut -d' ' -f1 /proc/uptime; }
now >"$out/booted"
sha256sum "$in/Kestrova.exe" | cut -d' ' -f1 >"$out/installer.sha256"
if ! cmp -s "$out/installer.sha256" "$in/expected.sha256"; then
  echo "the guest's Kestrova.exe is not the one built" >"$out/stopped"
  exit 1
fi
Xvfb :1 -screen 0 1024x768x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
if ! timeout 30 sh -c 'until [ -S /tmp/.X11-unix/X1 ]; do sleep 0.1; done'; then
  echo "Xvfb did not start: $(cat "$out/xvfb.log")" >"$out/stopped"
  exit 1
fi
export DISPLAY=:1 WINEARCH=win32 WINEDEBUG=-all KESTROVA_E2E_WAIT_SCALE=4
grep -v '^[[:space:]]*\(#\|$\)' "$in/scenarios.list" | while read -r name settings; do
  echo "pe32-guest: $name at $(now) s"
  dir=$out/$name
  prefix=/tmp/prefix-$name
  mkdir -p "$dir"
  now >"$dir/times"
  timeout 300 cp -a @TEMPLATE@ "$prefix"
  now >>"$dir/times"
  # A scenario's WINEDLLOVERRIDES adds to the usual ones, not replaces them.
  settings=$(echo "$settings" | sed 's|WINEDLLOVERRIDES=|&@OVERRIDES@;|')
  # $settings is a list of VAR=VALUE, split on purpose.
  env WINEPREFIX="$prefix" WINEDLLOVERRIDES="@OVERRIDES@" $settings sh -c '
    timeout 60 /usr/lib/wine/wineserver -p
    timeout --kill-after=10 240 /usr/lib/wine/wine "$1/kestrova_e2e.exe" "$2" "$1/Kestrova.exe" "$3"
    rc=$?
    timeout 30 /usr/lib/wine/wineserver -k
    timeout 30 /usr/lib/wine/wineserver -w
    exit $rc' run "$in" "$name" "$dir" </dev/null >"$dir/wine.log" 2>&1
  echo $? >"$dir/rc"
  now >>"$dir/times"
  rm -rf "$prefix"
done
now >"$out/done"
RUN
  sed -i "s|@OVERRIDES@|$guest_wine_overrides|g; s|@TEMPLATE@|$guest_template|g" "$1"
}

run_scenarios() {
  local build=${KESTROVA_PE32_BUILD:-$root/build/win32} list=$root/tests/e2e/pe32-scenarios.list
  local installer=$build/Kestrova.exe driver=$build/tests/e2e/kestrova_e2e.exe
  local names name f t failed=0 code times dst
  [[ -f $installer && -f $driver && -d $build/planted ]] ||
    die "$build lacks Kestrova.exe, tests/e2e/kestrova_e2e.exe or planted/: build first"
  mapfile -t names < <(grep -v '^[[:space:]]*\(#\|$\)' "$list" | awk '{ print $1 }')
  ((${#names[@]})) || die "$list names no scenario"
  ensure_guest

  run_dir=$(mktemp -d "${TMPDIR:-/tmp}/kestrova-pe32.XXXXXX")
  local xin=$run_dir/xchg/in out=$run_dir/out
  mkdir -p "$xin/product" "$xin/planted" "$run_dir/xchg/out"
  cp "$installer" "$xin/Kestrova.exe"
  sha256sum "$installer" | cut -d' ' -f1 >"$xin/expected.sha256"
  cp "$driver" "$xin/kestrova_e2e.exe"
  find "$build/product" -maxdepth 1 -type f -exec cp {} "$xin/product/" \;
  cp "$build"/planted/* "$xin/planted/"
  cp "$list" "$xin/scenarios.list"
  write_run_script "$xin/run.sh"
  truncate -s 1G "$run_dir/xchg.img"
  mkfs.ext4 -q -F -L kestrova-xchg -d "$run_dir/xchg" "$run_dir/xchg.img" ||
    die "could not make the exchange disk"

  # The boot, then each scenario's bound with its prefix copy and clean-up.
  local bound=$((300 + ${#names[@]} * 300)) artifacts=$build/e2e-artifacts
  local console=$artifacts/pe32-guest-console.log
  mkdir -p "$artifacts"
  log "booting the guest ($SECONDS s after the start) for ${#names[@]} scenario(s), at most $bound s"
  t=$SECONDS
  # The cached image is used as a snapshot: it stays as built.
  boot_guest "$guest_dir" run "$bound" "$console" \
    -drive "file=$guest_dir/guest.img,format=raw,if=virtio,snapshot=on" \
    -drive "file=$run_dir/xchg.img,format=raw,if=virtio" || log "qemu ended with $?"
  debugfs -R "rdump /out $run_dir" "$run_dir/xchg.img" >/dev/null 2>&1
  [[ -f $out/booted ]] || die "the guest did not boot within $bound s (console: $console)"
  [[ ! -f $out/stopped ]] || die "$(cat "$out/stopped")"
  log "guest booted in $(cat "$out/booted") s, off $((SECONDS - t)) s after its start"

  for name in "${names[@]}"; do
    dst=$artifacts/$name
    rm -rf "$dst"
    cp -a "$out/$name" "$dst" 2>/dev/null || mkdir -p "$dst"
    for f in "$dst"/*.bmp; do
      [[ -f $f ]] && convert "$f" "${f%.bmp}.png" && rm -f "$f"
    done
    code=$(cat "$dst/rc" 2>/dev/null || echo none)
    times=$(awk '{ t[NR] = $1 } END { if (NR == 3)
      printf "prefix %.1f s, scenario %.1f s", t[2] - t[1], t[3] - t[2] }' "$dst/times" 2>/dev/null || true)
    if [[ $code == 0 ]]; then
      log "$name: pass ($times)"
    else
      failed=$((failed + 1))
      log "$name: FAIL, exit code $code ($times): $dst/e2e.log"
      grep -E 'FAILED|CHECK|no window|no message|timed out|ended' "$dst/e2e.log" 2>/dev/null |
        head -n 40 | sed 's/^/    /' >&2 || true
      tail -n 5 "$dst/wine.log" 2>/dev/null | sed 's/^/    /' >&2 || true
    fi
  done
  [[ -f $out/done ]] || log "the guest did not finish within $bound s (console: $console)"
  echo "pe32: $((${#names[@]} - failed)) passed, $failed failed"
  ((failed == 0)) && [[ -f $out/done ]]
}

main() {
  case ${1:-} in
  build) ensure_guest ;;
  run) run_scenarios ;;
  *) die "usage: $0 build|run" ;;
  esac
}

# On one line, so that bash has read all of it before it runs: an edit of
# this file during a long run cannot change what the run does next.
main "$@"; exit $?

# Flags shared by every Windows program and library that ships: small,
# warnings as errors, no C++ runtime machinery, no MinGW runtime DLL.
#
# Shipping programs are built without the C runtime at all: no start-up
# code (each defines its own WinMainCRTStartup / DllMainCRTStartup) and no
# library, so that no msvcrt.dll import can creep in.  Freestanding, the
# compiler assumes no library; it would still turn a copying or counting
# loop into a call of memset or strlen, which the loop-pattern flag stops.
# What it may still call (memcpy, memset, memmove, memcmp) comes from
# freestanding.cpp, and libgcc gives the stack probe and 64-bit division.

set(KESTROVA_WIN_COMPILE_FLAGS
    -Os -Wall -Wextra -Werror
    -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -fno-unwind-tables -fno-threadsafe-statics
    -ffreestanding -fno-tree-loop-distribute-patterns
    -ffunction-sections)

# The PE32 passes arguments with pushes instead of moves into a reserved
# area, which leaves out the stack adjustment after every stdcall call
# (about 3 KB of the installer's code).  That layout cannot be combined
# with the stack probe, which only a frame of a page or more needs: the
# build refuses any frame near that size, and alloca and variable-length
# arrays, so no probe is ever needed.  The x86_64 ABI keeps its own layout.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  list(APPEND KESTROVA_WIN_COMPILE_FLAGS
       -mno-accumulate-outgoing-args -mno-stack-arg-probe
       -Wframe-larger-than=4000 -Walloca -Wvla)
endif()

set(KESTROVA_WIN_DEFINITIONS WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601)

function(kestrova_shipping_program target)
  # KIND is GUI (an .exe) or DLL.
  cmake_parse_arguments(ARG "" "KIND" "" ${ARGN})
  target_compile_options(${target} PRIVATE ${KESTROVA_WIN_COMPILE_FLAGS})
  target_compile_definitions(${target} PRIVATE ${KESTROVA_WIN_DEFINITIONS})
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/runtime/freestanding.cpp)
  # Without --no-insert-timestamp ld writes the time of linking into the
  # file header and a DLL's export directory, so no two builds would match
  # (tests/repro/rebuild_elsewhere.sh); ld then computes the PE checksum
  # over the bytes without it.
  target_link_options(${target} PRIVATE -s -nostdlib -static-libgcc
                      -Wl,--gc-sections -Wl,--no-insert-timestamp)
  target_link_libraries(${target} PRIVATE gcc)
  if(ARG_KIND STREQUAL "GUI")
    target_link_options(${target} PRIVATE -mwindows)
  elseif(ARG_KIND STREQUAL "DLL")
    target_link_options(${target} PRIVATE -mwindows -shared)
    set_target_properties(${target} PROPERTIES PREFIX "")
  endif()
endfunction()

# Windows test programs (run under wine64): the ordinary runtime, linked
# statically so that nothing needs to sit beside them.
function(kestrova_windows_test_program target)
  target_compile_options(${target} PRIVATE -O1 -Wall -Wextra -Werror)
  target_compile_definitions(${target} PRIVATE WIN32_LEAN_AND_MEAN
                             _WIN32_WINNT=0x0601 WINVER=0x0601)
  target_link_options(${target} PRIVATE -static)
endfunction()

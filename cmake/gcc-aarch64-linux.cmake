# Cross build of the portable core, the tools and their tests as aarch64 Linux
# programs (Debian: g++-aarch64-linux-gnu qemu-user-static), run under
# qemu-aarch64 in user mode: the checks of what ARM64 does differently from
# x64 (char is unsigned, alignment is checked by some instructions) on real
# ARM64 code. GoogleTest is built from /usr/src/googletest (Debian: googletest).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The target's shared libraries (libstdc++, libc) come from the cross
# toolchain's folder. It has no iconv modules, which zwx converts code pages
# with: those of the ARM64 Debian root (scripts/debian-root arm64), or of
# ZW_AARCH64_GCONV.
if(NOT ZW_AARCH64_GCONV)
  if(DEFINED ENV{ZW_ROOT_arm64})
    set(_zw_root $ENV{ZW_ROOT_arm64})
  elseif(DEFINED ENV{ZW_ROOTS})
    set(_zw_root $ENV{ZW_ROOTS}/bookworm-arm64)
  else()
    set(_zw_root /var/cache/zedwic/roots/bookworm-arm64)
  endif()
  set(ZW_AARCH64_GCONV ${_zw_root}/usr/lib/aarch64-linux-gnu/gconv)
endif()
if(NOT EXISTS ${ZW_AARCH64_GCONV}/CP1252.so)
  message(FATAL_ERROR "No aarch64 iconv modules in ${ZW_AARCH64_GCONV}: make the ARM64 root "
                      "first (scripts/debian-root arm64 path) or set ZW_AARCH64_GCONV")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static -L /usr/aarch64-linux-gnu
                                  -E GCONV_PATH=${ZW_AARCH64_GCONV})

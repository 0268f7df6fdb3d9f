# Cross build of the Windows ARM64 binaries in MSVC mode: as
# clang-cl-wine-x86_64.cmake (which says what this build checks), for
# aarch64-pc-windows-msvc. Debian has no Windows ARM64 GCC, and its ARM64
# libwine-dev carries ELF import libraries only: the PE ones are made on the
# first configure with llvm-dlltool -m arm64 from the names in Wine's x86_64
# import libraries (clang-cl-wine/implibs). The programs run under the ARM64
# Wine of an ARM64 Debian root (scripts/debian-root arm64), through qemu.
set(ZW_CLANGCL_TARGET aarch64-pc-windows-msvc)
set(ZW_CLANGCL_PROCESSOR ARM64)
set(ZW_CLANGCL_WINE_LIB /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
set(ZW_CLANGCL_IMPLIBS arm64)
set(ZW_CLANGCL_MISSING "install clang-14 lld-14 llvm-14 libc++-14-dev libwine-dev wine64 \
(scripts/install-deps)")
set(ZW_WINE_ARCH arm64)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/debian-root arm64 run wine)
include(${CMAKE_CURRENT_LIST_DIR}/clang-cl-wine/toolchain.cmake)

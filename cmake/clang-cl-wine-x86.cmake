# Cross build of the Windows x86 (32-bit) binaries in MSVC mode: as
# clang-cl-wine-x86_64.cmake (which says what this build checks), for
# i686-pc-windows-msvc. Wine's i386 PE import libraries come from libwine-dev
# of the 32-bit Debian root (scripts/debian-root i386), where the programs
# also run: this machine's Wine runs x64 only.
execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/../scripts/debian-root i386 path
                OUTPUT_VARIABLE _zw_root OUTPUT_STRIP_TRAILING_WHITESPACE)
set(ZW_CLANGCL_TARGET i686-pc-windows-msvc)
set(ZW_CLANGCL_PROCESSOR X86)
set(ZW_CLANGCL_WINE_LIB ${_zw_root}/usr/lib/i386-linux-gnu/wine/i386-windows)
set(ZW_CLANGCL_MISSING "make the 32-bit root first (scripts/debian-root i386 ensure), and \
install clang-14 lld-14 llvm-14 libc++-14-dev libwine-dev (scripts/install-deps)")
set(ZW_WINE_ARCH i386)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/debian-root i386 run wine)
include(${CMAKE_CURRENT_LIST_DIR}/clang-cl-wine/toolchain.cmake)

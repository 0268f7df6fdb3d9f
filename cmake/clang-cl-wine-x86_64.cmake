# Cross build of the Windows x64 binaries in MSVC mode: clang-cl, lld-link,
# llvm-lib and llvm-rc against Wine's Windows headers and PE import libraries
# (Debian: clang-14 lld-14 llvm-14 libc++-14-dev libwine-dev wine64). CMake
# takes its MSVC paths (MSVC is true), so this build checks what a Visual
# Studio build of the same CMake files does, short of cl.exe's own warnings.
#
# Wine ships no static C runtime: clang-cl-wine/ holds the sources of a
# stand-in libcmt.lib, built here on the first configure (entry points that
# run static initialisers and then main, wmain or DllMain; the /GS cookie,
# _fltused, the string functions compiled code calls); the rest of the C
# runtime comes from ucrtbase.dll.
# Debian has no Windows build of a C++ standard library, so only the
# header-only parts of libc++ can be used (clang-cl-wine/zwcxx.cpp has the
# little compiled code they reach): no iostream, filesystem, threads or
# locales, and no exceptions. GoogleTest does not build; use -DZW_GTEST=OFF.
set(ZW_CLANGCL_TARGET x86_64-pc-windows-msvc)
set(ZW_CLANGCL_PROCESSOR AMD64)
set(ZW_CLANGCL_WINE_LIB /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
set(ZW_CLANGCL_MISSING "install clang-14 lld-14 llvm-14 libc++-14-dev libwine-dev wine64 \
(scripts/install-deps)")
include(${CMAKE_CURRENT_LIST_DIR}/clang-cl-wine/toolchain.cmake)

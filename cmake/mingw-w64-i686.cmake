# Cross build of the Windows x86 (32-bit) binaries with MinGW-w64; tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

# The -posix flavour: GoogleTest needs std::mutex, which the win32 thread model lacks.
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# This machine's Wine runs x64 only: x86 programs run in a 32-bit Debian root.
set(ZW_WINE_ARCH i386)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/debian-root i386 run wine)

# The exports are __stdcall (ZEDWIC_W_CALL), decorated _name@N in the objects;
# the .def files name them undecorated, which is what ld's stdcall fixup is
# for: on purpose, so without its warning.
foreach(kind SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-Wl,--enable-stdcall-fixup")
endforeach()

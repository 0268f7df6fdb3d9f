# The clang-cl (MSVC-mode) toolchain, shared by the files of each target
# architecture (../clang-cl-wine-x86_64.cmake, ../clang-cl-wine-x86.cmake,
# ../clang-cl-wine-arm64.cmake; the first says what this build is and is
# not). They set:
#   ZW_CLANGCL_TARGET     clang's target triple (x86_64-pc-windows-msvc)
#   ZW_CLANGCL_PROCESSOR  CMAKE_SYSTEM_PROCESSOR as Visual Studio names it (AMD64)
#   ZW_CLANGCL_WINE_LIB   Wine's PE import libraries of that architecture
#   ZW_CLANGCL_MISSING    what to do when a folder below is missing
#   ZW_CLANGCL_EXTRA_FLAGS  (optional) more flags for the architecture's headers
#   ZW_CLANGCL_EXTRA_LINK_FLAGS  (optional) more flags for its links
#   ZW_CLANGCL_IMPLIBS    optional: llvm-dlltool's machine (arm64) when Wine has
#                         no PE import libraries of it here; they are then made
#                         from the names in those of ZW_CLANGCL_WINE_LIB
# and may set CMAKE_CROSSCOMPILING_EMULATOR (default: wine).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${ZW_CLANGCL_PROCESSOR})

set(CMAKE_C_COMPILER clang-cl-14)
set(CMAKE_CXX_COMPILER clang-cl-14)
set(CMAKE_C_COMPILER_TARGET ${ZW_CLANGCL_TARGET})
set(CMAKE_CXX_COMPILER_TARGET ${ZW_CLANGCL_TARGET})
set(CMAKE_LINKER lld-link-14)
set(CMAKE_AR llvm-lib-14)
set(CMAKE_RC_COMPILER llvm-rc-14)
set(CMAKE_MT llvm-mt-14)

# The static runtime, as with Visual Studio's /MT; the only one provided here.
set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")

set(_zw_wine_lib ${ZW_CLANGCL_WINE_LIB})
set(_zw_wine_inc /usr/include/wine/wine)
set(_zw_libcxx_inc /usr/lib/llvm-14/include/c++/v1)
foreach(dir ${_zw_wine_lib} ${_zw_wine_inc}/windows ${_zw_libcxx_inc})
  if(NOT IS_DIRECTORY ${dir})
    message(FATAL_ERROR "${dir} is missing: ${ZW_CLANGCL_MISSING}")
  endif()
endforeach()

# One folder per build tree, made on the first configure and handed on to
# CMake's compiler checks: the support library, and Wine's import libraries
# under the names lld-link looks for (kernel32.lib for libkernel32.a).
if(NOT ZW_CLANGCL_SUPPORT_DIR)
  set(ZW_CLANGCL_SUPPORT_DIR ${CMAKE_BINARY_DIR}/clang-cl-wine)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZW_CLANGCL_SUPPORT_DIR)

# -imsvc: system headers, libc++ first (it wraps the C headers). Wine's headers
# make WCHAR char16_t in C++ unless told otherwise (wchar_t with real MSVC);
# an inline function in Wine's winnt.h clashes with a clang-cl builtin.
# _CRTIMP empty: C runtime functions are not dllimport, as with /MT.
# The compilation folder is recorded as "." (see the launcher below).
set(_zw_common "-imsvc ${_zw_wine_inc}/msvcrt -imsvc ${_zw_wine_inc}/windows \
-DWINE_UNICODE_NATIVE -D_InterlockedCompareExchange128=__wine_ice128 -D_CRTIMP= \
/clang:-ffile-compilation-dir=. ${ZW_CLANGCL_EXTRA_FLAGS}")
# libc++ without its compiled library (zwcxx.cpp has the little of it that is
# used): class templates instantiated where used, no DLL import annotations,
# no threads, and exceptions off (flags.cmake drops /EHsc).
set(_zw_cxx "-imsvc ${_zw_libcxx_inc} -imsvc ${CMAKE_CURRENT_LIST_DIR}/include \
${_zw_common} -D_LIBCPP_DISABLE_EXTERN_TEMPLATE -D_LIBCPP_DISABLE_VISIBILITY_ANNOTATIONS \
-D_LIBCPP_NO_VCRUNTIME -D_LIBCPP_NO_AUTO_LINK -D_LIBCPP_HAS_NO_THREADS -D_HAS_EXCEPTIONS=0")
set(CMAKE_C_FLAGS_INIT "${_zw_common}")
set(CMAKE_CXX_FLAGS_INIT "${_zw_cxx}")
set(CMAKE_USER_MAKE_RULES_OVERRIDE_CXX ${CMAKE_CURRENT_LIST_DIR}/flags.cmake)
set(CMAKE_RC_FLAGS_INIT "-I${_zw_wine_inc}/windows -I${_zw_wine_inc}/msvcrt")
# The PDB names relative paths as if the build folder were C:\zedwic\build.
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT
      "/libpath:${ZW_CLANGCL_SUPPORT_DIR} /manifest:no /pdbsourcepath:C:/zedwic/build \
${ZW_CLANGCL_EXTRA_LINK_FLAGS}")
endforeach()

# Reproducible binaries wherever the tree lies: clang 14 writes its command
# line into each object's debug information and lld-link its own into the
# PDB, whose hash is the DLL's PDB signature. The launcher hands them paths
# inside the source and build folders relative to the build folder.
foreach(lang C CXX)
  set(CMAKE_${lang}_COMPILER_LAUNCHER
      ${CMAKE_CURRENT_LIST_DIR}/relpaths ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
  set(CMAKE_${lang}_LINKER_LAUNCHER ${CMAKE_${lang}_COMPILER_LAUNCHER})
endforeach()

set(_zw_rebuild FALSE)
file(GLOB _zw_sources ${CMAKE_CURRENT_LIST_DIR}/*.c* ${CMAKE_CURRENT_LIST_DIR}/*.h)
foreach(source ${_zw_sources} ${CMAKE_CURRENT_LIST_FILE} ${CMAKE_PARENT_LIST_FILE}
               ${CMAKE_CURRENT_LIST_DIR}/implibs)
  if("${source}" IS_NEWER_THAN "${ZW_CLANGCL_SUPPORT_DIR}/libcmt.lib")
    set(_zw_rebuild TRUE)
  endif()
endforeach()
if(_zw_rebuild)
  file(MAKE_DIRECTORY ${ZW_CLANGCL_SUPPORT_DIR})
  if(ZW_CLANGCL_IMPLIBS)
    execute_process(
      COMMAND ${CMAKE_CURRENT_LIST_DIR}/implibs ${ZW_CLANGCL_IMPLIBS} ${_zw_wine_lib}
              ${ZW_CLANGCL_SUPPORT_DIR}
      RESULT_VARIABLE _zw_rc OUTPUT_VARIABLE _zw_out ERROR_VARIABLE _zw_out)
    if(NOT _zw_rc EQUAL 0)
      message(FATAL_ERROR "making the ${ZW_CLANGCL_IMPLIBS} import libraries failed:\n${_zw_out}")
    endif()
  else()
    file(GLOB _zw_implibs RELATIVE ${_zw_wine_lib} ${_zw_wine_lib}/lib*.a)
    foreach(implib ${_zw_implibs})
      string(REGEX REPLACE "^lib(.*)\\.a$" "\\1.lib" name ${implib})
      file(CREATE_LINK ${_zw_wine_lib}/${implib} ${ZW_CLANGCL_SUPPORT_DIR}/${name} SYMBOLIC)
    endforeach()
  endif()
  # One object per part, so that a program does not pull in a DLL's entry.
  # Built in the support folder under relative names, which the PDB of each
  # program records.
  set(_zw_objs)
  separate_arguments(_zw_cflags UNIX_COMMAND "${_zw_common}")
  separate_arguments(_zw_cxxflags UNIX_COMMAND "${_zw_cxx} -std:c++17 /EHs-c-")
  foreach(part common.c dll.c exe.c wexe.c string.c x86.c cxx.cpp)
    string(REGEX REPLACE "\\.c(pp)?$" ".obj" obj zw${part})
    if(part MATCHES "cpp$")
      set(flags ${_zw_cxxflags})
    else()
      set(flags ${_zw_cflags} -fno-builtin)
    endif()
    execute_process(
      COMMAND clang-cl-14 --target=${ZW_CLANGCL_TARGET} ${flags} /nologo /O2 /GS- /Zl
              /W4 /WX /c /Fo${obj} -- ${CMAKE_CURRENT_LIST_DIR}/zw${part}
      WORKING_DIRECTORY ${ZW_CLANGCL_SUPPORT_DIR}
      RESULT_VARIABLE _zw_rc OUTPUT_VARIABLE _zw_out ERROR_VARIABLE _zw_out)
    if(NOT _zw_rc EQUAL 0)
      message(FATAL_ERROR "building the clang-cl support library failed:\n${_zw_out}")
    endif()
    list(APPEND _zw_objs ${obj})
  endforeach()
  execute_process(
    COMMAND llvm-lib-14 /nologo /out:libcmt.lib ${_zw_objs}
    WORKING_DIRECTORY ${ZW_CLANGCL_SUPPORT_DIR}
    RESULT_VARIABLE _zw_rc OUTPUT_VARIABLE _zw_out ERROR_VARIABLE _zw_out)
  if(NOT _zw_rc EQUAL 0)
    message(FATAL_ERROR "building the clang-cl support library failed:\n${_zw_out}")
  endif()
  # /MTd names libcmtd.lib; compiled code also names oldnames.lib (POSIX
  # names such as strdup), which ucrtbase.lib's exports cover here.
  file(CREATE_LINK libcmt.lib ${ZW_CLANGCL_SUPPORT_DIR}/libcmtd.lib SYMBOLIC)
  file(CREATE_LINK ucrtbase.lib ${ZW_CLANGCL_SUPPORT_DIR}/oldnames.lib SYMBOLIC)
endif()

# Appended to, so that -DCMAKE_FIND_ROOT_PATH=<prefix> puts an installed
# package on the root path (packages are searched only below it).
list(APPEND CMAKE_FIND_ROOT_PATH ${_zw_wine_lib})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR wine)
endif()

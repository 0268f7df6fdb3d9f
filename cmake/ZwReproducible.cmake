# The same sources give the same binaries byte for byte, wherever they are
# checked out and built: a package engineer can show that the DLL they sign is
# the one the source gives (scripts/check-reproducible compares two builds).
# What varies between two builds otherwise: the link time stamp, and the
# source and build folders that compilers write into debug information and
# __FILE__. Only the Windows binaries are shipped; native builds keep full
# paths for their debuggers and sanitizers.
#
# Folder names are mapped to fixed ones: the source tree to ".", the build tree
# to "build" (given last, it wins where the build tree lies inside the source).
set(zw_prefix_maps
  "${PROJECT_SOURCE_DIR}=." "${PROJECT_BINARY_DIR}=build")

if(MSVC)
  # /Brepro: a hash of the contents where the time stamps were (the COFF
  # header and the debug directory). The DLL names its PDB by file name only.
  add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:/Brepro>")
  add_link_options(/Brepro /PDBALTPATH:%_PDB%)
  # The folders: with clang-cl here, clang-cl-wine-x86_64.cmake hands the
  # compiler and the linker relative paths. cl.exe and link.exe record
  # absolute ones in the PDB; a Visual Studio build is reproducible in the
  # same folder.
elseif(MINGW)
  foreach(map ${zw_prefix_maps})
    add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${map}>")
  endforeach()
  # ld writes the link time into a PE image unless told not to.
  add_link_options(-Wl,--no-insert-timestamp)
endif()

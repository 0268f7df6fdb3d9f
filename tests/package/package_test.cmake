# The installed tree and the package archive of a Windows build.
#   cmake -DBUILD=dir -DSOURCE=dir -DWORK=dir -DTOOLCHAIN=file -DEMULATOR=a|b
#         -DCATALOGUE=examples/catalogue.zws -DCONFIG=Release -DGENERATOR=Ninja
#         [-DPLATFORM=x64] -P package_test.cmake
# Installs BUILD into WORK/prefix, checks the layout and that the DLL is
# stripped, builds the consumer project against the installed package with
# the same toolchain and runs it; then builds the ZIP archive and checks what
# it holds.
string(REPLACE "|" ";" emulator "${EMULATOR}")
file(REMOVE_RECURSE "${WORK}")
set(prefix "${WORK}/prefix")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}\n${out}")
  endif()
  set(run_out "${out}" PARENT_SCOPE)
endfunction()

# Every file a driver package ships; the tools in a folder of their own.
set(shipped bin/ZEDWIC_W.dll bin/ZEDWIC_D.ZWX lib/ZEDWIC_W.lib include/ZEDWIC_W.h
    lib/cmake/ZEDWIC/ZEDWICConfig.cmake lib/cmake/ZEDWIC/ZEDWICConfigVersion.cmake
    lib/cmake/ZEDWIC/ZEDWICTargets.cmake tools/zwx.exe tools/zwhost.exe
    share/zedwic/examples/catalogue.zws)
function(check_layout root what)
  foreach(file ${shipped})
    if(NOT EXISTS "${root}/${file}")
      message(FATAL_ERROR "${what} lacks ${file}")
    endif()
  endforeach()
  file(GLOB_RECURSE all RELATIVE "${root}" "${root}/*")
  foreach(file ${all})
    if(file MATCHES "^bin/.*\\.exe$" OR file MATCHES "\\.(debug|pdb)$")
      message(FATAL_ERROR "${what} holds ${file}")
    endif()
  endforeach()
endfunction()

run(${CMAKE_COMMAND} --install "${BUILD}" --config "${CONFIG}" --prefix "${prefix}")
check_layout("${prefix}" "the installed tree")

# Stripped: no debug sections left, and the debug file named by MinGW's
# debuglink (MSVC's DLLs carry none; their PDB is separate anyway).
file(STRINGS "${prefix}/bin/ZEDWIC_W.dll" debug_sections REGEX "\\.debug_(info|line)")
if(debug_sections)
  message(FATAL_ERROR "the installed DLL keeps debug sections")
endif()
run(${CMAKE_COMMAND} --install "${BUILD}" --config "${CONFIG}" --prefix "${WORK}/symbols"
    --component debug)
file(GLOB symbols "${WORK}/symbols/debug/*")
if(NOT symbols)
  message(FATAL_ERROR "--component debug installed no debug file")
endif()

# The consumer, against the installed package. A cross toolchain searches
# packages only below CMAKE_FIND_ROOT_PATH: the prefix must be on it.
set(platform)
if(PLATFORM)
  set(platform -A "${PLATFORM}")
endif()
run(${CMAKE_COMMAND} -S "${SOURCE}" -B "${WORK}/consumer" -G "${GENERATOR}" ${platform}
    "-DCMAKE_BUILD_TYPE=${CONFIG}" "-DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN}"
    "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_FIND_ROOT_PATH=${prefix}")
run(${CMAKE_COMMAND} --build "${WORK}/consumer" --config "${CONFIG}")
file(GLOB_RECURSE consumer "${WORK}/consumer/consumer.exe")
get_filename_component(consumer_dir "${consumer}" DIRECTORY)
file(COPY "${prefix}/bin/ZEDWIC_D.ZWX" DESTINATION "${consumer_dir}")
run(${emulator} "${consumer}")
file(STRINGS "${CATALOGUE}" expected REGEX "^ERMSG_00=" LIMIT_COUNT 1)
string(REPLACE "ERMSG_00=" "" expected "${expected}")
string(REPLACE "\r" "" run_out "${run_out}")
if(NOT run_out MATCHES "text 0: ${expected}\nSetChildInfo: 0\n")
  message(FATAL_ERROR "the consumer printed:\n${run_out}\nexpected text 0: ${expected}")
endif()

# The ZIP archive: the same layout.
run(${CMAKE_CPACK_COMMAND} -G ZIP -C "${CONFIG}" --config "${BUILD}/CPackConfig.cmake"
    -B "${WORK}/zip")
file(GLOB zip "${WORK}/zip/*.zip")
file(MAKE_DIRECTORY "${WORK}/unzipped")
run(${CMAKE_COMMAND} -E chdir "${WORK}/unzipped" ${CMAKE_COMMAND} -E tar xf "${zip}")
check_layout("${WORK}/unzipped" "${zip}")
message(STATUS "installed tree, consumer and ${zip} as expected")

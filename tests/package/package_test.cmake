# The installed tree and the package archive of a Windows build.
#   cmake -DBUILD=dir -DSOURCE=dir -DWORK=dir -DTOOLCHAIN=file -DEMULATOR=a|b
#         [-DOTHER_TOOLCHAIN=file of the other architecture]
#         -DCATALOGUE=examples/catalogue.zws -DCONFIG=Release -DGENERATOR=Ninja
#         [-DPLATFORM=x64] -P package_test.cmake
# Installs BUILD into WORK/prefix, checks the layout and that the DLL is
# stripped, that the installed zwinstall says how it is used and refuses bad
# files before it asks the spooler anything; builds the consumer project
# against the installed package with the installed copy of the same toolchain
# file, configured as the host guide says (once with the package's data file,
# once with one compiled by the installed zwx) and runs it: every text must be
# the catalogue's, and the copies beside the programs must follow their
# sources. Then builds the ZIP archives and checks what they hold.
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
    lib/cmake/ZEDWIC/ZEDWICTargets.cmake tools/zwx.exe tools/zwhost.exe tools/zwinstall.exe
    share/zedwic/examples/catalogue.zws share/zedwic/examples/driver-module/ZEDWIC_U.DLL
    share/zedwic/examples/driver-module/ZWDEMO.DLL
    share/zedwic/examples/driver-module/zwu_sample.cpp
    share/zedwic/examples/driver-module/zwu_sample.def
    README.md docs/host-guide.md docs/package-guide.md docs/support-guide.md docs/building.md)
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
file(GLOB symbols RELATIVE "${WORK}/symbols" "${WORK}/symbols/debug/*")
if(NOT symbols)
  message(FATAL_ERROR "--component debug installed no debug file")
endif()

# The toolchain file the build used, installed with the package.
get_filename_component(toolchain_name "${TOOLCHAIN}" NAME)
set(toolchain "${prefix}/share/zedwic/toolchains/${toolchain_name}")
if(NOT EXISTS "${toolchain}")
  message(FATAL_ERROR "the package lacks its toolchain file ${toolchain}")
endif()

# zwinstall documents its arguments, and refuses a wrong count.
run(${emulator} "${prefix}/tools/zwinstall.exe" --help)
foreach(word PRINTER DRIVER_NAME DRIVER_FILE ZEDWIC_U_DLL "Exit status")
  if(NOT run_out MATCHES "${word}")
    message(FATAL_ERROR "zwinstall --help does not explain ${word}:\n${run_out}")
  endif()
endforeach()
execute_process(COMMAND ${emulator} "${prefix}/tools/zwinstall.exe" "One Printer"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 2 OR NOT err MATCHES "usage: zwinstall")
  message(FATAL_ERROR "zwinstall with one argument: status ${status}, said:\n${err}")
endif()
# Refused in words, and the spooler never asked: no such printer afterwards.
set(module_dir "${prefix}/share/zedwic/examples/driver-module")
foreach(case "ZEDWIC_U.DLL|ZEDWIC_U.DLL|both named ZEDWIC_U.DLL"
             "NOSUCH.DLL|ZEDWIC_U.DLL|DRIVER_FILE .*NOSUCH.DLL: no such file"
             "ZWDEMO.DLL|NOSUCH/ZEDWIC_U.DLL|ZEDWIC_U_DLL .*ZEDWIC_U.DLL: no such file")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 driver)
  list(GET case 1 module)
  list(GET case 2 said)
  execute_process(COMMAND ${emulator} "${prefix}/tools/zwinstall.exe" "ZW Refused Printer"
                          "ZW Refused Driver" "${module_dir}/${driver}" "${module_dir}/${module}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 2 OR NOT err MATCHES "${said}")
    message(FATAL_ERROR "zwinstall ${driver} ${module}: status ${status}, said:\n${out}${err}")
  endif()
endforeach()
# Status 1 is a fault found in a printer that other tests sharing this
# prefix installed on purpose; 0 and 1 both list every printer.
execute_process(COMMAND ${emulator} "${prefix}/tools/zwhost.exe" printers
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT (status EQUAL 0 OR status EQUAL 1) OR NOT out MATCHES "printers: [0-9]+ listed|no printers installed")
  message(FATAL_ERROR "zwhost printers: status ${status}, said:\n${out}${err}")
endif()
if(out MATCHES "ZW Refused")
  message(FATAL_ERROR "a refused zwinstall registered something:\n${out}")
endif()

# A host's own catalogue: the sample's with every text marked, compiled by the
# installed zwx. Semicolons (list separators here) are held aside meanwhile.
file(READ "${CATALOGUE}" catalogue)
string(REPLACE "\r" "" catalogue "${catalogue}")
string(REPLACE ";" "<semicolon>" catalogue "${catalogue}")
string(REGEX REPLACE "(^|\n)(ERMSG_[0-9X]+)=" "\\1\\2=Own: " own "${catalogue}")
string(REPLACE "<semicolon>" ";" own "${own}")
file(WRITE "${WORK}/own.zws" "${own}")
run(${emulator} "${prefix}/tools/zwx.exe" compile "${WORK}/own.zws" -o "${WORK}/own.zwx"
    --codepage 1252)

# The consumer, against the installed package. A cross toolchain searches
# packages only below CMAKE_FIND_ROOT_PATH: the prefix must be on it.
set(platform)
if(PLATFORM)
  set(platform -A "${PLATFORM}")
endif()
run(${CMAKE_COMMAND} -S "${SOURCE}" -B "${WORK}/consumer" -G "${GENERATOR}" ${platform}
    "-DCMAKE_BUILD_TYPE=${CONFIG}" "-DCMAKE_TOOLCHAIN_FILE=${toolchain}"
    "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_FIND_ROOT_PATH=${prefix}"
    "-DOWN_DATA_FILE=${WORK}/own.zwx")
run(${CMAKE_COMMAND} --build "${WORK}/consumer" --config "${CONFIG}")

# A project of the other architecture is stopped at configure time, in words.
if(OTHER_TOOLCHAIN)
  execute_process(COMMAND ${CMAKE_COMMAND} -S "${SOURCE}" -B "${WORK}/consumer-other" -G "${GENERATOR}"
                          "-DCMAKE_TOOLCHAIN_FILE=${OTHER_TOOLCHAIN}" "-DCMAKE_PREFIX_PATH=${prefix}"
                          "-DCMAKE_FIND_ROOT_PATH=${prefix}" "-DOWN_DATA_FILE=${WORK}/own.zwx"
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  string(REGEX REPLACE "[ \t\r\n]+" " " flat "${out}")
  if(status EQUAL 0 OR NOT flat MATCHES "which cannot load it")
    message(FATAL_ERROR "a project of the other architecture (${OTHER_TOOLCHAIN}): status "
                        "${status}, said:\n${out}")
  endif()
endif()

# Each program prints the catalogue's text for every code, 99 taking ERMSG_XX.
function(check_consumer name marker)
  file(GLOB_RECURSE program "${WORK}/consumer/${name}.exe")
  run(${emulator} "${program}")
  string(REPLACE "\r" "" printed "${run_out}")
  set(expected)
  string(REGEX MATCHALL "(^|\n)ERMSG_([0-9][0-9]|XX)=[^\n]*" entries "${catalogue}")
  foreach(entry IN LISTS entries)
    string(REGEX MATCH "ERMSG_([0-9][0-9]|XX)=(.*)$" entry "${entry}")
    set(code "${CMAKE_MATCH_1}")
    if(code STREQUAL "XX")
      set(code 99)
    endif()
    math(EXPR code "${code}") # 07 -> 7
    string(APPEND expected "text ${code}: ${marker}${CMAKE_MATCH_2}\n")
  endforeach()
  string(REPLACE "<semicolon>" ";" expected "${expected}")
  string(APPEND expected "SetChildInfo: 0\nheader version: ${version}\n")
  if(NOT printed STREQUAL expected)
    message(FATAL_ERROR "${program} printed:\n${printed}\nexpected:\n${expected}")
  endif()
endfunction()
file(STRINGS "${prefix}/lib/cmake/ZEDWIC/ZEDWICConfigVersion.cmake" version
     REGEX "^set\\(PACKAGE_VERSION \"[0-9.]+\"\\)")
string(REGEX REPLACE ".*\"(.*)\".*" "\\1" version "${version}")
check_consumer(consumer "")
check_consumer(consumer_own "Own: ")

# The copies beside the programs follow their sources: a rebuilt data file,
# a deleted copy, a new DLL behind an unchanged import library. Compared by
# bytes; with Ninja a build with nothing changed has nothing to do.
function(build_consumer)
  run(${CMAKE_COMMAND} --build "${WORK}/consumer" --config "${CONFIG}")
endfunction()
function(expect_copy source name what)
  file(GLOB_RECURSE copies "${WORK}/consumer/${name}")
  if(NOT copies)
    message(FATAL_ERROR "${what}: no ${name} beside the programs")
  endif()
  foreach(copy ${copies})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${source}" "${copy}"
                    RESULT_VARIABLE different)
    if(different)
      message(FATAL_ERROR "${what}: ${copy} is not ${source}")
    endif()
  endforeach()
endfunction()
string(REPLACE "=Own: " "=Own again: " own "${own}")
file(WRITE "${WORK}/own.zws" "${own}")
run(${emulator} "${prefix}/tools/zwx.exe" compile "${WORK}/own.zws" -o "${WORK}/own.zwx"
    --codepage 1252)
build_consumer()
expect_copy("${WORK}/own.zwx" "own/ZEDWIC_D.ZWX" "a rebuilt DATA_FILE")
file(GLOB_RECURSE copies "${WORK}/consumer/ZEDWIC_W.dll")
file(REMOVE ${copies})
build_consumer()
expect_copy("${prefix}/bin/ZEDWIC_W.dll" "own/ZEDWIC_W.dll" "a deleted copy")
run(${CMAKE_COMMAND} -E copy "${BUILD}/bin/ZEDWIC_W.dll" "${prefix}/bin/ZEDWIC_W.dll")
file(TOUCH "${prefix}/bin/ZEDWIC_W.dll")
build_consumer()
expect_copy("${BUILD}/bin/ZEDWIC_W.dll" "ZEDWIC_W.dll" "a new DLL, the same import library")
if(GENERATOR STREQUAL "Ninja")
  run(${CMAKE_COMMAND} --build "${WORK}/consumer" --config "${CONFIG}")
  if(NOT run_out MATCHES "no work to do")
    message(FATAL_ERROR "a build with nothing changed did:\n${run_out}")
  endif()
endif()

# The ZIP archives: the same layout, and the debug information alone in the
# -debug one.
run(${CMAKE_CPACK_COMMAND} -G ZIP -C "${CONFIG}" --config "${BUILD}/CPackConfig.cmake"
    -B "${WORK}/zip")
file(GLOB zip "${WORK}/zip/*.zip")
file(GLOB debug_zip "${WORK}/zip/*-debug.zip")
list(FILTER zip EXCLUDE REGEX "-debug\\.zip$")
list(LENGTH zip zips)
if(NOT zips EQUAL 1 OR NOT debug_zip)
  message(FATAL_ERROR "expected a package and a -debug ZIP archive, got ${zip} ${debug_zip}")
endif()
file(MAKE_DIRECTORY "${WORK}/unzipped" "${WORK}/unzipped-debug")
run(${CMAKE_COMMAND} -E chdir "${WORK}/unzipped" ${CMAKE_COMMAND} -E tar xf "${zip}")
check_layout("${WORK}/unzipped" "${zip}")
run(${CMAKE_COMMAND} -E chdir "${WORK}/unzipped-debug" ${CMAKE_COMMAND} -E tar xf "${debug_zip}")
file(GLOB_RECURSE in_debug_zip RELATIVE "${WORK}/unzipped-debug" "${WORK}/unzipped-debug/*")
if(NOT in_debug_zip STREQUAL symbols)
  message(FATAL_ERROR "${debug_zip} holds ${in_debug_zip}, not ${symbols}")
endif()
message(STATUS "installed tree, consumer, ${zip} and ${debug_zip} as expected")

# Checks of the built library that need no GoogleTest, so that every Windows
# toolchain runs them, the clang-cl one included.

# The export table and the imports. The runtime is linked statically (MinGW's
# -static, MSVC's /MT), so the only C runtime allowed is msvcrt.dll, which is
# part of Windows and what MinGW's code calls; an MSVC build imports none.
set(ZW_ALLOWED_IMPORTS KERNEL32.dll WINSPOOL.DRV)
if(MINGW)
  list(APPEND ZW_ALLOWED_IMPORTS msvcrt.dll)
endif()
string(REPLACE ";" "," zw_allowed_imports "${ZW_ALLOWED_IMPORTS}")
# pecheck prints with the C runtime's printf: not where that cannot run
# (scripts/test-all checks the ARM64 DLL's tables with llvm-objdump instead).
if(ZW_EMULATED_VARARGS)
  add_executable(pecheck ${CMAKE_CURRENT_LIST_DIR}/pecheck.cpp)
  target_link_libraries(pecheck PRIVATE zw_toolcommon)
  zw_warnings(pecheck)
  add_test(NAME ZEDWIC_W.pe_headers
    COMMAND pecheck $<TARGET_FILE:ZEDWIC_W> --imports ${zw_allowed_imports}
            --exports VOLQUAD_SettingExport VOLQUAD_SettingImport VOLQUAD_PersonalInfoImport
            VOLQUAD_DefaultSetting VOLQUAD_FixSetting VOLQUAD_GetErrorMsg SetChildInfo)
endif()

# A C host linked against the import library.
add_executable(implicit_link ${CMAKE_CURRENT_LIST_DIR}/implicit_link.c)
target_link_libraries(implicit_link PRIVATE ZEDWIC_W)
target_include_directories(implicit_link PRIVATE ${PROJECT_SOURCE_DIR}/include)
set_target_properties(implicit_link PROPERTIES C_STANDARD 99 C_EXTENSIONS OFF)
zw_warnings(implicit_link)
add_test(NAME ZEDWIC_W.implicit_link_from_c COMMAND implicit_link)
zw_judge_by_output(ZEDWIC_W.implicit_link_from_c "implicit link ok" "FAILED|should")

# ZW_PEER_TESTS: the bin/ folder of a MinGW build tree. Its GoogleTest programs
# (which this toolchain may not be able to build) then run against this
# build's ZEDWIC_W.dll and zwhost.exe: copied beside them in a folder of their
# own, as the programs load what lies beside them.
set(ZW_PEER_TESTS "" CACHE PATH "bin/ of a MinGW build whose Windows tests run against this DLL")
if(ZW_PEER_TESTS)
  set(peer_dir ${CMAKE_BINARY_DIR}/peer-tests)
  set(peer_programs dll_tests forward_tests memory_tests zwhost_tests)
  # The whole folder, so the test modules the programs use come along; then
  # this build's library and zwhost over the MinGW ones.
  add_custom_target(peer_tests ALL
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${ZW_PEER_TESTS} ${peer_dir}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:ZEDWIC_W> $<TARGET_FILE:zwhost> ${peer_dir}
    DEPENDS ZEDWIC_W zwhost
    COMMENT "Placing the MinGW-built Windows tests beside this build's ZEDWIC_W.dll")
  # The sample catalogue as this build's zwx wrote it, byte for byte MinGW's.
  add_test(NAME peer.sample_catalogue
    COMMAND ${CMAKE_COMMAND} -E compare_files ${ZW_SAMPLE_CATALOGUE}
            ${ZW_PEER_TESTS}/../examples/ZEDWIC_D.ZWX)
  foreach(program ${peer_programs})
    add_test(NAME peer.${program}
      COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} ${peer_dir}/${program}.exe --gtest_brief=1)
  endforeach()
endif()

if(ZW_EMULATED_VARARGS) # the consumer prints with printf
  # The installed tree, a host project built against its CMake package with
  # this toolchain and run, and the ZIP archive.
  string(REPLACE ";" "|" zw_emulator "${CMAKE_CROSSCOMPILING_EMULATOR}")
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(zw_other_toolchain ${PROJECT_SOURCE_DIR}/cmake/mingw-w64-i686.cmake)
  else()
    set(zw_other_toolchain ${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake)
  endif()
  add_test(NAME package.install_consume_zip
    COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR}
            -DSOURCE=${PROJECT_SOURCE_DIR}/tests/package/consumer
            -DWORK=${CMAKE_BINARY_DIR}/package-test -DTOOLCHAIN=${CMAKE_TOOLCHAIN_FILE}
            -DOTHER_TOOLCHAIN=${zw_other_toolchain}
            "-DEMULATOR=${zw_emulator}" -DCATALOGUE=${PROJECT_SOURCE_DIR}/examples/catalogue.zws
            -DCONFIG=$<CONFIG> "-DGENERATOR=${CMAKE_GENERATOR}" "-DPLATFORM=${CMAKE_GENERATOR_PLATFORM}"
            -P ${PROJECT_SOURCE_DIR}/tests/package/package_test.cmake)
endif()

# The runtime's startup: static constructors of a program and of a DLL before
# main, destructors after it.
add_library(static_init_dll SHARED ${CMAKE_CURRENT_LIST_DIR}/static_init_dll.cpp)
zw_warnings(static_init_dll)
add_executable(static_init ${CMAKE_CURRENT_LIST_DIR}/static_init.cpp)
target_link_libraries(static_init PRIVATE static_init_dll)
zw_warnings(static_init)
add_test(NAME runtime.static_init COMMAND static_init)
set_tests_properties(runtime.static_init PROPERTIES
  PASS_REGULAR_EXPRESSION "exe constructor: 1, dll constructor: 1\r?\nexe destructor ran")

# The sample ZEDWIC_U.DLL's log: one whole line per call, with calls at once.
add_executable(zwu_sample_log ${CMAKE_CURRENT_LIST_DIR}/zwu_sample_log.c)
target_include_directories(zwu_sample_log PRIVATE ${PROJECT_SOURCE_DIR}/include)
set_target_properties(zwu_sample_log PROPERTIES C_STANDARD 99 C_EXTENSIONS OFF)
zw_warnings(zwu_sample_log)
if(ZW_EMULATED_VARARGS) # the sample module logs with snprintf, the test prints with printf
  add_test(NAME zwu_sample.log_lines_at_once COMMAND zwu_sample_log $<TARGET_FILE:zwu_sample>)
endif()

# What a driver package ships, as `cmake --install` lays it out and the CPack
# ZIP archive holds it:
#   bin/      ZEDWIC_W.dll (stripped) with the sample ZEDWIC_D.ZWX beside it
#   lib/      the import library ZEDWIC_W.lib
#   lib/cmake/ZEDWIC/  the CMake package: find_package(ZEDWIC), ZEDWIC::ZEDWIC_W,
#             ZEDWIC_DATA_FILE and zedwic_copy_runtime() (ZEDWICConfig.cmake.in)
#   include/  ZEDWIC_W.h
#   tools/    zwx, zwhost and zwinstall, apart from the DLL that a package ships
#   share/zedwic/examples/  the sample catalogue's source, and in driver-module/
#             the sample ZEDWIC_U.DLL with its source and ZWDEMO.DLL, a stand-in
#             driver file for trying a printer with zwinstall
#   share/zedwic/toolchains/  the Windows toolchain files this tree builds with
#             (and the clang-cl one's support folder), for host projects
#   README.md, docs/  the guides
# The DLL's debug information is installed only with --component debug, and
# packed in a ZIP archive of its own:
#   debug/    ZEDWIC_W.dll.debug (MinGW, found through the DLL's debuglink)
#             or ZEDWIC_W.pdb (MSVC)
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)
set(ZW_TOOLS_DIR tools)
set(ZW_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZEDWIC)

if(TARGET ZEDWIC_W)
  install(TARGETS ZEDWIC_W EXPORT ZEDWICTargets
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/include/ZEDWIC_W.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  # Every Windows toolchain file of this tree: a host project cross-builds
  # against the package with the toolchain the package was built with.
  file(GLOB zw_toolchains ${PROJECT_SOURCE_DIR}/cmake/mingw-w64-*.cmake
                          ${PROJECT_SOURCE_DIR}/cmake/clang-cl-wine-*.cmake)
  install(FILES ${zw_toolchains} DESTINATION ${CMAKE_INSTALL_DATADIR}/zedwic/toolchains)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/cmake/clang-cl-wine
          DESTINATION ${CMAKE_INSTALL_DATADIR}/zedwic/toolchains USE_SOURCE_PERMISSIONS)
  install(FILES ${ZW_SAMPLE_CATALOGUE} DESTINATION ${CMAKE_INSTALL_BINDIR})

  install(EXPORT ZEDWICTargets NAMESPACE ZEDWIC:: DESTINATION ${ZW_PACKAGE_DIR})
  # The DLL's architecture, as the package's config checks a consumer's.
  include(${CMAKE_CURRENT_LIST_DIR}/ZwArchitecture.cmake)
  zw_architecture(ZW_PACKAGE_ARCHITECTURE)
  configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/ZEDWICConfig.cmake.in
    ${CMAKE_BINARY_DIR}/ZEDWICConfig.cmake INSTALL_DESTINATION ${ZW_PACKAGE_DIR}
    PATH_VARS CMAKE_INSTALL_BINDIR)
  # The architecture is checked by ZEDWICConfig.cmake, which says in words
  # what is wrong; the version file would only call the package unsuitable.
  write_basic_package_version_file(${CMAKE_BINARY_DIR}/ZEDWICConfigVersion.cmake
    COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
  install(FILES ${CMAKE_BINARY_DIR}/ZEDWICConfig.cmake ${CMAKE_BINARY_DIR}/ZEDWICConfigVersion.cmake
                ${CMAKE_CURRENT_LIST_DIR}/ZwArchitecture.cmake
          DESTINATION ${ZW_PACKAGE_DIR})

  # Debug information in every configuration, for crash analysis: the DLL's
  # own sources and the core it links. Folder names in it are fixed ones
  # (ZwReproducible.cmake), so that it does not tell one build from another.
  if(MSVC)
    set(zw_debug_flag /Z7)
  else()
    set(zw_debug_flag -g)
  endif()
  target_compile_options(ZEDWIC_W PRIVATE ${zw_debug_flag})
  target_compile_options(zw_core PRIVATE ${zw_debug_flag})
  if(MSVC)
    # A PDB for the release DLL too; the DLL itself carries only its name.
    target_link_options(ZEDWIC_W PRIVATE /DEBUG /OPT:REF /OPT:ICF)
    install(FILES $<TARGET_PDB_FILE:ZEDWIC_W> DESTINATION debug COMPONENT debug EXCLUDE_FROM_ALL)
  elseif(CMAKE_OBJCOPY)
    # The debug sections go to a file of their own, and the installed DLL is
    # stripped and names that file (gdb follows the name to a copy beside it).
    # -p (--preserve-dates) keeps the DLL's PE time stamp (none: the link
    # writes none, ZwReproducible.cmake) in both files; without it objcopy
    # writes the current time there, and two installs of one build differ.
    set(zw_debug_file ${CMAKE_BINARY_DIR}/ZEDWIC_W.dll.debug)
    add_custom_command(OUTPUT ${zw_debug_file}
      COMMAND ${CMAKE_OBJCOPY} -p --only-keep-debug $<TARGET_FILE:ZEDWIC_W> ${zw_debug_file}
      DEPENDS ZEDWIC_W
      COMMENT "Keeping ZEDWIC_W.dll's debug information in ZEDWIC_W.dll.debug")
    add_custom_target(zw_debug_info ALL DEPENDS ${zw_debug_file})
    install(CODE "
      set(dll \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/ZEDWIC_W.dll\")
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" -p --strip-all
                              \"--add-gnu-debuglink=${zw_debug_file}\" \"\${dll}\"
                      RESULT_VARIABLE rc)
      if(NOT rc EQUAL 0)
        message(FATAL_ERROR \"stripping \${dll} failed\")
      endif()")
    install(FILES ${zw_debug_file} DESTINATION debug COMPONENT debug EXCLUDE_FROM_ALL)
  endif()
endif()
foreach(tool zwx zwhost zwinstall)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION ${ZW_TOOLS_DIR})
  endif()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/examples/catalogue.zws
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zedwic/examples)
# The README and the guides at the top, as the README links them.
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
file(GLOB zw_guides ${PROJECT_SOURCE_DIR}/docs/*.md)
install(FILES ${zw_guides} DESTINATION docs)
if(TARGET zwu_sample AND TARGET zwdemo_driver)
  # Under the names a driver package gives them (the spooler and the library
  # do not mind the case; a packaging script may).
  set(zw_module_dir ${CMAKE_INSTALL_DATADIR}/zedwic/examples/driver-module)
  install(FILES $<TARGET_FILE:zwu_sample> DESTINATION ${zw_module_dir} RENAME ZEDWIC_U.DLL)
  install(FILES $<TARGET_FILE:zwdemo_driver> DESTINATION ${zw_module_dir} RENAME ZWDEMO.DLL)
  install(FILES ${PROJECT_SOURCE_DIR}/examples/driver-module/zwu_sample.cpp
                ${PROJECT_SOURCE_DIR}/examples/driver-module/zwu_sample.def
          DESTINATION ${zw_module_dir})
endif()

# cpack -G ZIP in the build tree: ZEDWIC-<version>-win64.zip of the layout
# above (ZEDWIC-<version>-win32.zip for x86, ZEDWIC-<version>-winarm64.zip
# for ARM64: one per architecture, since a host loads the DLL of its own), and
# ZEDWIC-<version>-<system>-debug.zip with the debug information alone (one
# archive per component).
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ZEDWIC)
set(CPACK_PACKAGE_VENDOR ZEDWIC)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Printer driver runtime: settings forwarding and error messages")
if(WIN32 AND ZW_PACKAGE_ARCHITECTURE STREQUAL "ARM64")
  set(CPACK_SYSTEM_NAME winarm64)
elseif(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(CPACK_SYSTEM_NAME win32)
elseif(WIN32)
  set(CPACK_SYSTEM_NAME win64)
endif()
if(NOT CPACK_SYSTEM_NAME)
  set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_NAME})
endif()
set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME}")
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_ARCHIVE_UNSPECIFIED_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}")
set(CPACK_ARCHIVE_DEBUG_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-debug")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)

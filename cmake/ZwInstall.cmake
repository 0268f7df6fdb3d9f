# What a driver package ships, as `cmake --install` lays it out:
#   bin/      ZEDWIC_W.dll with the sample ZEDWIC_D.ZWX beside it, zwx, zwhost
#   lib/      the import library
#   include/  ZEDWIC_W.h
#   share/zedwic/examples/  the sample catalogue's source
include(GNUInstallDirs)

if(TARGET ZEDWIC_W)
  install(TARGETS ZEDWIC_W
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/include/ZEDWIC_W.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(FILES ${ZW_SAMPLE_CATALOGUE} DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
foreach(tool zwx zwhost)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/examples/catalogue.zws
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zedwic/examples)

# cmake --install: the programs into bin, the simulated camera's interface libraries into a
# folder of their own (the program looks there last, so a real SDK library installed in the
# system folders or beside the program takes precedence), a desktop entry and an icon, and
# tarvo-cli's manual page and bash completion. On Windows one folder holds everything, as the
# package zip does: the programs, camsim\ with the simulated camera's DLLs, README.md and
# WINDOWS.md.
include(GNUInstallDirs)

if(WIN32)
  set(TARVO_INSTALL_BINDIR .)
else()
  set(TARVO_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR})
endif()

foreach(program tarvo_prog tarvo-cli tarvo-camsim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${TARVO_INSTALL_BINDIR})
  endif()
endforeach()

foreach(library qlm_usb qlm_usb3 qlm_gige)
  if(TARGET ${library})
    install(TARGETS ${library} LIBRARY DESTINATION ${TARVO_SIM_LIBRARY_INSTALL_DIR}
                               RUNTIME DESTINATION ${TARVO_SIM_LIBRARY_INSTALL_DIR})
  endif()
endforeach()

if(WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/WINDOWS.md
          DESTINATION .)
  # cmake --build --preset windows --target package: tarvo-<version>-windows-x86_64.zip
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME tarvo)
  set(CPACK_PACKAGE_FILE_NAME tarvo-${PROJECT_VERSION}-windows-x86_64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_STRIP_FILES ON)
  include(CPack)
else()
  install(FILES ${PROJECT_SOURCE_DIR}/data/orva-tarvo-programmer.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/data/icons/orva-tarvo-programmer.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

if(TARGET tarvo_cli_documents)
  set(cli ${PROJECT_BINARY_DIR}/src/cli)
  install(FILES ${cli}/tarvo-cli.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
          RENAME tarvo-cli)
  if(TARVO_HELP2MAN)
    install(FILES ${cli}/tarvo-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endif()

# cmake --install: the programs into bin, the simulated camera's interface libraries into a
# folder of their own (the program looks there last, so a real SDK library installed in the
# system folders or beside the program takes precedence), a desktop entry and an icon, and
# tarvo-cli's manual page and bash completion.
include(GNUInstallDirs)

foreach(program tarvo_prog tarvo-cli tarvo-camsim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

foreach(library qlm_usb qlm_usb3 qlm_gige)
  if(TARGET ${library})
    install(TARGETS ${library} LIBRARY DESTINATION ${TARVO_SIM_LIBRARY_INSTALL_DIR})
  endif()
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/data/orva-tarvo-programmer.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/orva-tarvo-programmer.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

if(TARGET tarvo_cli_documents)
  set(cli ${PROJECT_BINARY_DIR}/src/cli)
  install(FILES ${cli}/tarvo-cli.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
          RENAME tarvo-cli)
  if(TARVO_HELP2MAN)
    install(FILES ${cli}/tarvo-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endif()

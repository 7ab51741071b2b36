# Installs the programs, data/ under share/vorimel and a desktop entry for each demo.
# The programs read data/ relative to their working directory, so each entry's Path=
# is the data's parent folder. The entries are written at install time, so the prefix
# given to `cmake --install --prefix` is the one they name.
include(GNUInstallDirs)

install(TARGETS vorimel vorimel_b RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET vorimel-capture)
  install(TARGETS vorimel-capture RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(DIRECTORY ${CMAKE_BINARY_DIR}/data DESTINATION ${CMAKE_INSTALL_DATADIR}/vorimel)
install(FILES ${CMAKE_BINARY_DIR}/vorimel-icon.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps RENAME vorimel.png)

set(VORIMEL_DESKTOP_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/vorimel.desktop.in)
install(CODE "
  foreach(entry \"vorimel|vorimel|A real-time audiovisual demo\"
                \"vorimel_b|vorimel (long trails)|A real-time audiovisual demo with longer trails\")
    string(REPLACE \"|\" \";\" fields \"\${entry}\")
    list(GET fields 0 PROGRAM)
    list(GET fields 1 DESKTOP_NAME)
    list(GET fields 2 DESKTOP_COMMENT)
    set(PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
    configure_file(\"${VORIMEL_DESKTOP_TEMPLATE}\"
                   \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/\${PROGRAM}.desktop\" @ONLY)
    message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/\${PROGRAM}.desktop\")
  endforeach()
")

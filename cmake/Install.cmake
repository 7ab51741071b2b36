# Installs the programs and data/ (in the layout of cmake/InstallDirs.cmake), the icon at
# every size and a desktop entry for each demo. The programs find data/ from their own folder, so the
# entries need no working folder; they are written at install time, so the prefix given
# to `cmake --install --prefix` is the one their Exec= names.
include(${CMAKE_CURRENT_LIST_DIR}/DataFiles.cmake) # the data files and icon sizes
set(dist ${PROJECT_SOURCE_DIR}/dist)

install(TARGETS vorimel vorimel_b vorimel-capture RUNTIME DESTINATION ${VORIMEL_INSTALL_BINDIR})
# the files the build wrote, by name: a file left over in data/ from an older build is
# not installed
list(TRANSFORM VORIMEL_DATA_FILES PREPEND ${CMAKE_BINARY_DIR}/data/ OUTPUT_VARIABLE data_files)
install(FILES ${data_files} DESTINATION ${VORIMEL_INSTALL_DATADIR}/data)
foreach(size IN LISTS VORIMEL_ICON_SIZES)
  install(FILES ${CMAKE_BINARY_DIR}/icons/${size}x${size}/apps/vorimel.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

set(VORIMEL_DESKTOP_TEMPLATE ${dist}/vorimel.desktop.in)
install(CODE "
  foreach(entry \"vorimel|vorimel|A real-time audiovisual demo\"
                \"vorimel_b|vorimel (long trails)|A real-time audiovisual demo with longer trails\")
    string(REPLACE \"|\" \";\" fields \"\${entry}\")
    list(GET fields 0 PROGRAM)
    list(GET fields 1 DESKTOP_NAME)
    list(GET fields 2 DESKTOP_COMMENT)
    set(PROGRAM_FOLDER \"\${CMAKE_INSTALL_PREFIX}/${VORIMEL_INSTALL_BINDIR}\")
    configure_file(\"${VORIMEL_DESKTOP_TEMPLATE}\"
                   \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/\${PROGRAM}.desktop\" @ONLY)
    message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/\${PROGRAM}.desktop\")
  endforeach()
")

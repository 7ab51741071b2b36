# Installs the programs and data/ (in the layout of cmake/InstallDirs.cmake), the icon
# at every size, a desktop entry for each demo, the manual pages, the AppStream
# metainfo, and the copyright file and changelog. The programs find data/ from their
# own folder, so the entries need no working folder; they are written at install time,
# so the prefix given to `cmake --install --prefix` is the one their Exec= names.
include(${CMAKE_CURRENT_LIST_DIR}/DataFiles.cmake) # the data files and icon sizes
set(dist ${PROJECT_SOURCE_DIR}/dist)
set(dist_out ${CMAKE_BINARY_DIR}/dist)

install(TARGETS vorimel vorimel_b vorimel-capture RUNTIME DESTINATION ${VORIMEL_INSTALL_BINDIR})
# the files the build wrote, by name: a file left over in data/ from an older build is
# not installed
list(TRANSFORM VORIMEL_DATA_FILES PREPEND ${CMAKE_BINARY_DIR}/data/ OUTPUT_VARIABLE data_files)
install(FILES ${data_files} DESTINATION ${VORIMEL_INSTALL_DATADIR}/data)
foreach(size IN LISTS VORIMEL_ICON_SIZES)
  install(FILES ${CMAKE_BINARY_DIR}/icons/${size}x${size}/apps/vorimel.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Manual pages and the changelog, compressed as Debian keeps them (gzip -n: no name or
# time stamp, so the same bytes on every build). The pages name the installed data/.
configure_file(${dist}/vorimel.6.in ${dist_out}/vorimel.6 @ONLY)
configure_file(${dist}/vorimel-capture.1.in ${dist_out}/vorimel-capture.1 @ONLY)
configure_file(${dist}/changelog ${dist_out}/changelog COPYONLY)
set(compressed "")
foreach(name vorimel.6 vorimel-capture.1 changelog)
  add_custom_command(OUTPUT ${dist_out}/${name}.gz
    COMMAND gzip -9 -n -k -f ${dist_out}/${name}
    DEPENDS ${dist_out}/${name}
    VERBATIM)
  list(APPEND compressed ${dist_out}/${name}.gz)
endforeach()
add_custom_target(vorimel_dist ALL DEPENDS ${compressed})
# vorimel_b's page is vorimel's
file(CREATE_LINK vorimel.6.gz ${dist_out}/vorimel_b.6.gz SYMBOLIC)

install(FILES ${dist_out}/vorimel.6.gz ${dist_out}/vorimel_b.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${dist_out}/vorimel-capture.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${dist}/org.example.vorimel.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# changelog.gz, not changelog.Debian.gz: the package is its own upstream (a native package)
install(FILES ${dist}/copyright ${dist_out}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

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

# The Debian package, vorimel_<version>_amd64.deb in the build folder, from the install
# rules below /usr: the `package` target of any build (scripts/package builds it with the
# package preset: hardened, without tests). Its Depends are computed from the programs by
# dpkg-shlibdeps; its binaries are stripped.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorimel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Seed d7ce2280 maintainers <maintainers@users.noreply.c-seed-d7ce2280.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audiovisual demo")
# the extended description; paragraphs apart by an empty line (CPack writes the " .")
set(CPACK_PACKAGE_DESCRIPTION "A fixed sequence of animated scenes (spinning solids, rings of
vertices and cubes, lattices of points leaving trails) cut to the beat of its
own tracker module, in a window or fullscreen.

vorimel and vorimel_b differ only in how long the trails last.
vorimel-capture renders the demo offline to PNG frames, WAV and MP4.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL2 opens libGL.so.1 only at run time for its GLX context, where dpkg-shlibdeps does
# not look; it brings Mesa's GLX and drivers, which the headless EGL context uses too.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libgl1)
# vorimel-capture --video runs ffmpeg
set(CPACK_DEBIAN_PACKAGE_SUGGESTS ffmpeg)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Installed with DESTDIR, so the install-time prefix the desktop entries name is /usr,
# not the folder the package is put together in.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)

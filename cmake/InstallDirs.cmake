# Where an install puts the programs and data/, below the install prefix: Debian's
# layout for games by default. The programs find data/ from their own folder through
# the path between the two, compiled in here, so the prefix given at install time
# (/usr for the package, ~/.local, a test's temporary folder) does not matter.
include(GNUInstallDirs)
set(VORIMEL_INSTALL_BINDIR games CACHE STRING "Folder of the installed programs, below the prefix")
set(VORIMEL_INSTALL_DATADIR share/games/vorimel CACHE STRING "Folder of the installed data/, below the prefix")
foreach(dir VORIMEL_INSTALL_BINDIR VORIMEL_INSTALL_DATADIR)
  if(IS_ABSOLUTE "${${dir}}")
    message(FATAL_ERROR "${dir} is a folder below the install prefix, not an absolute path: ${${dir}}")
  endif()
endforeach()
file(RELATIVE_PATH VORIMEL_DATA_FROM_PROGRAM
  /prefix/${VORIMEL_INSTALL_BINDIR} /prefix/${VORIMEL_INSTALL_DATADIR}/data)

# Every file the demo opens under data/: the pictures in the order the demo loads
# them, then the module; and the sizes the icon is written at (icons/NxN/apps/vorimel.png,
# as the hicolor theme lays them out). The generator, the install, the install test, the
# end-to-end script and the tests read these lists through a generated header and a
# generated shell file.
set(VORIMEL_PICTURES
  vorimel.tga diagonales.tga cosa00d.tga cosa00d2.tga cosa00e01.tga cosa01b.tga cosa02b.tga
  cosa03.tga flare2.tga cosa03c.tga cosa04d1.tga cosa05b1.tga)
set(VORIMEL_MODULE mordel.it)
set(VORIMEL_DATA_FILES ${VORIMEL_PICTURES} ${VORIMEL_MODULE})
set(VORIMEL_ICON_SIZES 16 22 24 32 48 64 128 256)

list(JOIN VORIMEL_PICTURES "\", \"" pictures_c)
set(VORIMEL_PICTURES_C "\"${pictures_c}\"")
list(JOIN VORIMEL_PICTURES " " VORIMEL_PICTURES_SH)
list(JOIN VORIMEL_ICON_SIZES ", " VORIMEL_ICON_SIZES_C)
list(JOIN VORIMEL_ICON_SIZES " " VORIMEL_ICON_SIZES_SH)
configure_file(${CMAKE_CURRENT_LIST_DIR}/DataFiles.h.in ${CMAKE_BINARY_DIR}/generated/DataFiles.h @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/data-files.sh.in ${CMAKE_BINARY_DIR}/data-files.sh @ONLY)

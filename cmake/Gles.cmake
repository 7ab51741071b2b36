# The fixed-function layer over GLES2.

pkg_check_modules(GLESV2 REQUIRED IMPORTED_TARGET glesv2)
add_subdirectory(src/platform/gles)

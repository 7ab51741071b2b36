# The browser build, configured with emscripten's toolchain (the web preset, or
# scripts/build-web): vorimel-web and vorimel_b-web, each a .js, .wasm and .data
# (the pictures and the music's position table, packed at build time), drawn through
# the fixed-function layer on WebGL 1, and the page in page/ beside them. No
# emscripten port is used; nothing is downloaded.
#
# The data comes from a native build (VORIMEL_HOST_BUILD): its data/ and the music
# that vorimel-webaudio rendered into web-music/ (its web_music target).
set(VORIMEL_HOST_BUILD ${PROJECT_SOURCE_DIR}/build/release CACHE PATH
  "Native build folder whose data/ and web-music/ the page packs and serves")
include(${PROJECT_SOURCE_DIR}/cmake/DataFiles.cmake)

set(page_dir ${CMAKE_BINARY_DIR}/page)
set(preload "")
set(preloaded "")
foreach(picture IN LISTS VORIMEL_PICTURES)
  list(APPEND preload "SHELL:--preload-file ${VORIMEL_HOST_BUILD}/data/${picture}@data/${picture}")
  list(APPEND preloaded ${VORIMEL_HOST_BUILD}/data/${picture})
endforeach()
list(APPEND preload "SHELL:--preload-file ${VORIMEL_HOST_BUILD}/web-music/mordel.pos@data/mordel.pos")
list(APPEND preloaded ${VORIMEL_HOST_BUILD}/web-music/mordel.pos)

# The loader's pauses are emscripten_sleep, which needs Asyncify; the frames do not.
set(web_link_options
  -sASYNCIFY
  -sALLOW_MEMORY_GROWTH
  -sEXIT_RUNTIME
  -sMODULARIZE
  -sEXPORT_NAME=createVorimel
  -sENVIRONMENT=web
  -sMIN_WEBGL_VERSION=1
  -sMAX_WEBGL_VERSION=1
  ${preload})

# wasm-ld links an environment's library whole as ld does natively (cmake/Folders.cmake)
set(CMAKE_LINK_LIBRARY_USING_WHOLE_ARCHIVE "LINKER:--whole-archive" "<LINK_ITEM>" "LINKER:--no-whole-archive")
set(CMAKE_LINK_LIBRARY_USING_WHOLE_ARCHIVE_SUPPORTED TRUE)

set(VORIMEL_PAGE_DIR ${page_dir})
set(VORIMEL_WEB_LINK_OPTIONS ${web_link_options})
set(VORIMEL_WEB_PACKED ${preloaded})
add_subdirectory(${PROJECT_SOURCE_DIR}/src ${CMAKE_BINARY_DIR}/src)

# the page, written by hand, and the rendered music beside the programs
add_subdirectory(${PROJECT_SOURCE_DIR}/web ${CMAKE_BINARY_DIR}/web)

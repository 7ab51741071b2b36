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

set(src ${PROJECT_SOURCE_DIR}/src)
file(GLOB web_layer_sources CONFIGURE_DEPENDS ${src}/render/*.cpp ${src}/music/*.cpp ${src}/scenes/*.cpp)
add_library(vorimel_web_core STATIC
  ${web_layer_sources}
  ${src}/app/FrameLatency.cpp
  ${src}/app/Instances.cpp
  ${src}/app/Loader.cpp
  ${src}/app/MainLoop.cpp
  ${src}/app/ProgramOptions.cpp
  ${src}/app/Shutdown.cpp
  ${src}/platform/Clock.cpp
  ${src}/platform/DataFile.cpp
  ${src}/platform/DataFolder.cpp
  ${src}/platform/DebugOutput.cpp
  ${src}/platform/PositionTable.cpp
  ${src}/platform/Spectrum.cpp
  ${src}/platform/WebAudioBackend.cpp
  ${src}/platform/WebCanvas.cpp
  ${src}/platform/WebDisplay.cpp
  ${src}/platform/WebFrameLoop.cpp
  ${src}/platform/WebMessageBox.cpp
  ${src}/platform/WebWindowFactory.cpp
  ${src}/platform/gles/FixedFunction.cpp
  ${src}/platform/gles/FixedFunctionRenderer.cpp
  ${src}/platform/gles/FixedFunctionState.cpp
  ${src}/platform/gles/GlesFrame.cpp
  ${src}/platform/gles/LineQuads.cpp
  ${src}/platform/gles/Matrix4.cpp
)
target_include_directories(vorimel_web_core PUBLIC ${src})
target_compile_definitions(vorimel_web_core PUBLIC VORIMEL_GLES2)

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

function(vorimel_web_program name alpha)
  # the browser's entry point can run on the capture tool's clock (for tests)
  add_executable(${name} ${src}/app/BrowserMain.cpp ${src}/app/FeedbackAlpha.cpp
    ${PROJECT_SOURCE_DIR}/tools/capture/FrameTiming.cpp ${PROJECT_SOURCE_DIR}/tools/capture/VirtualClock.cpp)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tools/capture)
  target_compile_definitions(${name} PRIVATE VORIMEL_FEEDBACK_ALPHA=${alpha})
  target_link_libraries(${name} PRIVATE vorimel_web_core)
  target_link_options(${name} PRIVATE ${web_link_options})
  # packed again when a picture or the table changes
  set_target_properties(${name} PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${page_dir}
    LINK_DEPENDS "${preloaded}")
endfunction()

vorimel_web_program(vorimel-web 0.65f)
vorimel_web_program(vorimel_b-web 0.99f)

# the page, written by hand, and the rendered music beside the programs
file(GLOB page_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/web/*)
set(page_outputs "")
foreach(file IN LISTS page_files ITEMS ${VORIMEL_HOST_BUILD}/web-music/mordel.flac)
  get_filename_component(file_name ${file} NAME)
  add_custom_command(OUTPUT ${page_dir}/${file_name}
    COMMAND ${CMAKE_COMMAND} -E copy ${file} ${page_dir}/${file_name}
    DEPENDS ${file})
  list(APPEND page_outputs ${page_dir}/${file_name})
endforeach()
add_custom_target(web_page ALL DEPENDS ${page_outputs})

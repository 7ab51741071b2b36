# The demo drawn through the fixed-function layer over GLES2: the core compiled a
# second time with VORIMEL_GLES2, so that platform/GL.h maps its GL calls onto the
# layer, and vorimel-capture-gles, the capture tool on Mesa's GLES2.
option(VORIMEL_GLES2_CAPTURE "Build vorimel-capture-gles, the capture through the GLES2 layer" ON)

pkg_check_modules(GLESV2 REQUIRED IMPORTED_TARGET glesv2)
add_subdirectory(src/platform/gles)

# Sources of a target as absolute paths, to build them again elsewhere.
function(vorimel_sources_of target out)
  get_target_property(sources ${target} SOURCES)
  get_target_property(dir ${target} SOURCE_DIR)
  set(result "")
  foreach(source IN LISTS sources)
    if(IS_ABSOLUTE "${source}")
      list(APPEND result "${source}")
    else()
      list(APPEND result "${dir}/${source}")
    endif()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

if(VORIMEL_GLES2_CAPTURE)
  # every layer above the platform in one library; it sees the top layer's include root
  set(core_sources "")
  foreach(layer render music scenes app)
    vorimel_sources_of(vorimel_${layer} layer_sources)
    list(APPEND core_sources ${layer_sources})
  endforeach()
  add_library(vorimel_core_gles STATIC ${core_sources})
  get_target_property(app_includes vorimel_app INTERFACE_INCLUDE_DIRECTORIES)
  target_include_directories(vorimel_core_gles PUBLIC ${app_includes})
  target_compile_definitions(vorimel_core_gles PUBLIC VORIMEL_GLES2)
  target_link_libraries(vorimel_core_gles PUBLIC vorimel_platform vorimel_gles vorimel_gles_headless)

  vorimel_sources_of(vorimel_capture_lib capture_sources)
  add_library(vorimel_capture_lib_gles STATIC ${capture_sources})
  target_include_directories(vorimel_capture_lib_gles PUBLIC ${PROJECT_SOURCE_DIR}/tools/capture)
  target_link_libraries(vorimel_capture_lib_gles PUBLIC vorimel_core_gles vorimel_png Threads::Threads)

  add_executable(vorimel-capture-gles ${PROJECT_SOURCE_DIR}/tools/capture/main.cpp
    ${PROJECT_SOURCE_DIR}/src/app/FeedbackAlpha.cpp)
  target_compile_definitions(vorimel-capture-gles PRIVATE VORIMEL_FEEDBACK_ALPHA=0.65f VORIMEL_VERSION="${PROJECT_VERSION}")
  target_link_libraries(vorimel-capture-gles PRIVATE vorimel_capture_lib_gles)
  set_target_properties(vorimel-capture-gles PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  add_dependencies(vorimel-capture-gles vorimel_data)
endif()

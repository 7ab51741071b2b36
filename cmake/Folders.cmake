# Each folder of src/ is one static library, and so is tests/support. A folder's headers
# are reached as "folder/Name.h" (from src/ or tests/) through an include root of its own,
# made in the build folder from links to that folder's headers alone: a library sees its
# own folder and the folders it links, no other, so an include of a folder above it does
# not compile. The same holds in every build (desktop, sanitizer, fuzz, browser).
#
# vorimel_library(NAME [DRAWS] [ENVIRONMENT] [TWIN_OF target] SOURCES files...
#                 [LINKS targets...] [PRIVATE_LINKS targets...])
#   DRAWS        its code draws through platform/GL.h: the system's GL 1.1, or in the
#                browser the fixed-function layer over GLES2 (platform/gles). With
#                VORIMEL_GLES2_CAPTURE a second library NAME_gles draws through the layer
#                natively; a library that links one with such a twin gets one too, which
#                links the twins.
#   TWIN_OF      it stands for that library in the twins (platform/headless/gles does
#                for platform/headless).
#   ENVIRONMENT  it supplies the platform's interfaces (Display.h, MessageBox.h,
#                WindowFactory.h) for one environment: desktop, headless or browser. The
#                layers above call into it, so whatever links it links all of it.
#   LINKS        the folders it sees and links; PRIVATE_LINKS only links (system libraries).

# The folder's include root: build/include/<folder as a name>/<folder>/*.h.
function(vorimel_include_root out)
  get_filename_component(top ${CMAKE_CURRENT_SOURCE_DIR} DIRECTORY)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  # the path below src/ or tests/ is how the headers are named
  string(REGEX REPLACE "^(src|tests)/" "" named ${folder})
  string(REPLACE "/" "_" id ${folder})
  set(root ${CMAKE_BINARY_DIR}/include/${id})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/${named})
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(header IN LISTS headers)
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${named}/${name} SYMBOLIC)
  endforeach()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# The item by which a target is linked: an environment whole.
function(vorimel_link_item target out)
  if(TARGET ${target})
    get_target_property(environment ${target} VORIMEL_ENVIRONMENT)
    if(environment)
      set(${out} "$<LINK_LIBRARY:WHOLE_ARCHIVE,${target}>" PARENT_SCOPE)
      return()
    endif()
  endif()
  set(${out} ${target} PARENT_SCOPE)
endfunction()

# vorimel_link(TARGET SCOPE items...): target_link_libraries, environments linked whole.
function(vorimel_link target scope)
  set(items "")
  foreach(item IN LISTS ARGN)
    vorimel_link_item(${item} linked)
    list(APPEND items "${linked}")
  endforeach()
  if(items)
    target_link_libraries(${target} ${scope} ${items})
  endif()
endfunction()

# The GLES2 twin of each item where there is one.
function(vorimel_twins out)
  set(result "")
  foreach(item IN LISTS ARGN)
    set(twin "")
    if(TARGET ${item})
      get_target_property(twin ${item} VORIMEL_GLES_TWIN)
    endif()
    if(twin)
      list(APPEND result ${twin})
    else()
      list(APPEND result ${item})
    endif()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

function(vorimel_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "DRAWS;ENVIRONMENT" "TWIN_OF" "SOURCES;LINKS;PRIVATE_LINKS")
  vorimel_include_root(root)

  add_library(${name} STATIC ${arg_SOURCES})
  # the sanitizer runtime's defaults (link_libraries at the top) are the executables'
  set_property(TARGET ${name} PROPERTY LINK_LIBRARIES "")
  target_include_directories(${name} PUBLIC ${root})
  set_target_properties(${name} PROPERTIES VORIMEL_ENVIRONMENT "${arg_ENVIRONMENT}")
  vorimel_link(${name} PUBLIC ${arg_LINKS})
  vorimel_link(${name} PRIVATE ${arg_PRIVATE_LINKS})
  if(arg_DRAWS)
    if(EMSCRIPTEN)
      target_compile_definitions(${name} PUBLIC VORIMEL_GLES2)
      target_link_libraries(${name} PUBLIC vorimel_platform_gles)
    else()
      target_link_libraries(${name} PUBLIC OpenGL::GL OpenGL::GLU)
    endif()
  endif()

  if(arg_TWIN_OF)
    set_target_properties(${arg_TWIN_OF} PROPERTIES VORIMEL_GLES_TWIN ${name})
    return()
  endif()

  # the twin drawing through the layer, built only for what needs it
  if(NOT VORIMEL_GLES2_CAPTURE OR EMSCRIPTEN)
    return()
  endif()
  vorimel_twins(links ${arg_LINKS})
  if(NOT arg_DRAWS AND "${links}" STREQUAL "${arg_LINKS}")
    return()
  endif()
  set_target_properties(${name} PROPERTIES VORIMEL_GLES_TWIN ${name}_gles)
  add_library(${name}_gles STATIC EXCLUDE_FROM_ALL ${arg_SOURCES})
  set_property(TARGET ${name}_gles PROPERTY LINK_LIBRARIES "")
  target_include_directories(${name}_gles PUBLIC ${root})
  set_target_properties(${name}_gles PROPERTIES VORIMEL_ENVIRONMENT "${arg_ENVIRONMENT}")
  vorimel_link(${name}_gles PUBLIC ${links})
  vorimel_link(${name}_gles PRIVATE ${arg_PRIVATE_LINKS})
  if(arg_DRAWS)
    target_compile_definitions(${name}_gles PUBLIC VORIMEL_GLES2)
    target_link_libraries(${name}_gles PUBLIC vorimel_platform_gles)
  endif()
endfunction()

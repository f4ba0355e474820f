# The tool is built in layers, each one static library that may use only the layers below it
# (README, "Architecture"). A layer's sources do not see the source tree: they see a folder of
# its own in the build tree that holds links to the headers of that layer and of the layers
# below, and nothing else, so an include that climbs up fails to compile.
#
#   kv_layer(<target> SOURCES <files...> [BELOW <layer targets...>] [LIBS <other libraries...>])

function(kv_layer name)
  cmake_parse_arguments(L "" "" "SOURCES;BELOW;LIBS" ${ARGN})
  set(headers)
  foreach(src ${L_SOURCES})
    if(src MATCHES "\\.h$")
      file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${src})
      list(APPEND headers ${rel})
    endif()
  endforeach()
  foreach(below ${L_BELOW})
    get_property(below_headers GLOBAL PROPERTY KV_LAYER_HEADERS_${below})
    list(APPEND headers ${below_headers})
  endforeach()
  list(REMOVE_DUPLICATES headers)
  set_property(GLOBAL PROPERTY KV_LAYER_HEADERS_${name} ${headers})

  set(view ${CMAKE_BINARY_DIR}/layers/${name})
  file(REMOVE_RECURSE ${view})
  foreach(rel ${headers})
    get_filename_component(dir ${view}/${rel} DIRECTORY)
    file(MAKE_DIRECTORY ${dir})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${rel} ${view}/${rel} SYMBOLIC)
  endforeach()

  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PRIVATE ${view})
  target_link_libraries(${name} PUBLIC ${L_BELOW} ${L_LIBS})
  set(files)
  foreach(src ${L_SOURCES})
    file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${src})
    list(APPEND files ${rel})
  endforeach()
  set_property(GLOBAL PROPERTY KV_LAYER_FILES_${name} ${files})
  set_property(GLOBAL APPEND PROPERTY KV_LAYERS ${name})
endfunction()

# Writes what each layer holds and sees, for the check that runs as a test
# (tests/layers/check_layers.cmake).
function(kv_write_layer_manifest path)
  get_property(layers GLOBAL PROPERTY KV_LAYERS)
  set(text "set(KV_LAYERS \"${layers}\")\n")
  foreach(name ${layers})
    get_property(files GLOBAL PROPERTY KV_LAYER_FILES_${name})
    get_property(headers GLOBAL PROPERTY KV_LAYER_HEADERS_${name})
    string(APPEND text "set(KV_LAYER_FILES_${name} \"${files}\")\n")
    string(APPEND text "set(KV_LAYER_HEADERS_${name} \"${headers}\")\n")
    string(APPEND text "set(KV_LAYER_VIEW_${name} \"${CMAKE_BINARY_DIR}/layers/${name}\")\n")
  endforeach()
  file(WRITE ${path} "${text}")
endfunction()

# The include folder a layer's sources see (for the check that an upward include fails).
function(kv_layer_view name out)
  set(${out} ${CMAKE_BINARY_DIR}/layers/${name} PARENT_SCOPE)
endfunction()

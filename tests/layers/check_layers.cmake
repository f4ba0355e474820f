# Checks the layering of the tool (cmake -DMANIFEST=... -DCXX=... -DSOURCE_DIR=... -P):
#  1. every quoted include of a layer's files names a header of that layer or of a layer
#     below it (this also covers headers that only higher layers compile);
#  2. the compiler, given a layer's include folder, cannot find a header of any layer that
#     does not lie below it: such an include fails to build.
cmake_minimum_required(VERSION 3.25)
include(${MANIFEST})
set(failures 0)
set(work ${CMAKE_CURRENT_BINARY_DIR}/layer_check)
file(MAKE_DIRECTORY ${work})

foreach(layer ${KV_LAYERS})
  foreach(file ${KV_LAYER_FILES_${layer}})
    file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^#include \"")
    foreach(line ${includes})
      string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${line}")
      if(NOT header IN_LIST KV_LAYER_HEADERS_${layer})
        message(SEND_ERROR "${file} (${layer}) includes \"${header}\", which is not below it")
        math(EXPR failures "${failures} + 1")
      endif()
    endforeach()
  endforeach()

  foreach(other ${KV_LAYERS})
    # One header of each layer that this one may not use.
    set(foreign)
    foreach(h ${KV_LAYER_HEADERS_${other}})
      if(NOT h IN_LIST KV_LAYER_HEADERS_${layer})
        set(foreign ${h})
        break()
      endif()
    endforeach()
    if(NOT foreign)
      continue()
    endif()
    set(probe ${work}/${layer}_uses_${other}.cpp)
    file(WRITE ${probe} "#include \"${foreign}\"\n")
    execute_process(COMMAND ${CXX} -fsyntax-only -I${KV_LAYER_VIEW_${layer}} ${probe}
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE error)
    if(result EQUAL 0 OR NOT error MATCHES "No such file|file not found")
      message(SEND_ERROR "${layer} can include \"${foreign}\" of ${other}")
      math(EXPR failures "${failures} + 1")
    endif()
  endforeach()
endforeach()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} layering faults")
endif()
message(STATUS "layers: every include stays in its layer or below; upward includes fail")

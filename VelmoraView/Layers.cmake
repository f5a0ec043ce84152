# One library per layer, the linker holding what each may use (see the top of
# VelmoraView/CMakeLists.txt). tests/layers builds a tiny tree with these too.
# ZOLT7_LAYER_CHECK on: each layer also gets its check library.

# zolt7_layer(<folder> [USES <layer>...] [LIBS <outside library>...] [SOURCES <more>...])
# builds the layer of VelmoraView/<folder>/: every .cpp/.h there, so a new file
# needs no CMake change.
function(zolt7_layer name)
  cmake_parse_arguments(L "" "" "USES;LIBS;SOURCES" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.h)
  add_library(zolt7_${name}_objects OBJECT ${_src} ${L_SOURCES})
  target_include_directories(zolt7_${name}_objects PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(zolt7_${name}_objects PUBLIC ${L_LIBS})

  add_library(zolt7_${name} STATIC $<TARGET_OBJECTS:zolt7_${name}_objects>)
  set_target_properties(zolt7_${name} PROPERTIES LINKER_LANGUAGE CXX AUTOMOC OFF AUTORCC OFF)
  target_include_directories(zolt7_${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(zolt7_${name} PUBLIC ${L_LIBS})

  if(ZOLT7_LAYER_CHECK)
    add_library(zolt7_${name}_check SHARED $<TARGET_OBJECTS:zolt7_${name}_objects>)
    set_target_properties(zolt7_${name}_check PROPERTIES LINKER_LANGUAGE CXX AUTOMOC OFF AUTORCC OFF
                          LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/layer-check)
    target_link_libraries(zolt7_${name}_check PRIVATE ${L_LIBS})
    target_link_options(zolt7_${name}_check PRIVATE -Wl,--no-undefined)
  endif()
  zolt7_layer_uses(${name} ${L_USES})
endfunction()

# zolt7_layer_uses(<layer> <layer it may use>...): the layer links those.
function(zolt7_layer_uses name)
  foreach(u ${ARGN})
    target_link_libraries(zolt7_${name}_objects PUBLIC zolt7_${u})
    target_link_libraries(zolt7_${name} PUBLIC zolt7_${u})
    if(ZOLT7_LAYER_CHECK)
      target_link_libraries(zolt7_${name}_check PRIVATE zolt7_${u}_check)
    endif()
  endforeach()
endfunction()

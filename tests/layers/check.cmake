# cmake -DLAYERS=... -DTREE=... -DWORK=... -DGENERATOR=... -P check.cmake
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${TREE} -B ${WORK} -G ${GENERATOR} -DLAYERS=${LAYERS}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "configure failed\n${out}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK} --target zolt7_high_check zolt7_high
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "a layer using only what it links failed to build\n${out}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK} --target zolt7_upward_check
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(rc EQUAL 0)
  message(FATAL_ERROR "a layer calling a layer it does not link was built")
endif()
if(NOT out MATCHES "undefined reference to `High\\(\\)'")
  message(FATAL_ERROR "the layer calling upwards failed, but not on that call\n${out}")
endif()

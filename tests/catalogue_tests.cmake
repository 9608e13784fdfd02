stelvo_add_test(catalogue_test SOURCES catalogue_test.cpp LIBS stelvo_initial)

# The committed catalogue source must be exactly what the generator writes.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  add_test(NAME catalogue_generator_reproduces
           COMMAND ${CMAKE_COMMAND}
                   -DPYTHON=${Python3_EXECUTABLE}
                   -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
                   -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/comet_catalogue_regenerated.cpp
                   -P ${PROJECT_SOURCE_DIR}/tools/check_catalogue.cmake)
endif()

# The committed coastline table must be exactly what its generator writes.
if(Python3_Interpreter_FOUND)
  add_test(NAME coastline_generator_reproduces
           COMMAND ${CMAKE_COMMAND}
                   -DPYTHON=${Python3_EXECUTABLE}
                   -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
                   -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/coastline_regenerated.cpp
                   -P ${PROJECT_SOURCE_DIR}/tools/check_coastline.cmake)
endif()

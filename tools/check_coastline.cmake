# Regenerates the coastline table into the build tree and compares it byte for byte
# with the committed source. Run by ctest as
#   cmake -DPYTHON=... -DSOURCE_DIR=... -DOUTPUT=... -P check_coastline.cmake
foreach(var PYTHON SOURCE_DIR OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_coastline.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE "${OUTPUT}")
execute_process(
  COMMAND "${PYTHON}" "${SOURCE_DIR}/tools/make_coastline.py"
          --input "${SOURCE_DIR}/tools/data/ne_110m_coastline.geojson" --output "${OUTPUT}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "make_coastline.py failed: ${status}")
endif()
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUTPUT}" "${SOURCE_DIR}/src/data/coastline.cpp"
  RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "src/data/coastline.cpp differs from the generator's output ${OUTPUT}")
endif()

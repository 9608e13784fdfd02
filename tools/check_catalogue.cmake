# Regenerates the comet catalogue into the build tree and compares it byte for
# byte with the committed source. Run by ctest as
#   cmake -DPYTHON=... -DSOURCE_DIR=... -DOUTPUT=... -P check_catalogue.cmake
foreach(var PYTHON SOURCE_DIR OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_catalogue.cmake needs -D${var}=...")
  endif()
endforeach()

set(EPOCHS_OUTPUT "${OUTPUT}.epochs.cpp")
set(MAGNITUDES_OUTPUT "${OUTPUT}.magnitudes.cpp")
file(REMOVE "${OUTPUT}" "${EPOCHS_OUTPUT}" "${MAGNITUDES_OUTPUT}")
execute_process(
  COMMAND "${PYTHON}" "${SOURCE_DIR}/tools/make_catalogue.py"
          --input "${SOURCE_DIR}/tools/data/mpc-comet-elements.json"
          --output "${OUTPUT}" --epochs-output "${EPOCHS_OUTPUT}"
          --magnitudes-output "${MAGNITUDES_OUTPUT}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "make_catalogue.py failed: ${status}")
endif()

execute_process(
  COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUTPUT}" "${SOURCE_DIR}/src/data/comet_catalogue.cpp"
  RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "src/data/comet_catalogue.cpp differs from the generator's output ${OUTPUT}")
endif()

execute_process(
  COMMAND "${CMAKE_COMMAND}" -E compare_files "${EPOCHS_OUTPUT}" "${SOURCE_DIR}/src/data/comet_epochs.cpp"
  RESULT_VARIABLE epochs_differ)
if(NOT epochs_differ EQUAL 0)
  message(FATAL_ERROR "src/data/comet_epochs.cpp differs from the generator's output ${EPOCHS_OUTPUT}")
endif()

execute_process(
  COMMAND "${CMAKE_COMMAND}" -E compare_files "${MAGNITUDES_OUTPUT}" "${SOURCE_DIR}/src/data/comet_magnitudes.cpp"
  RESULT_VARIABLE magnitudes_differ)
if(NOT magnitudes_differ EQUAL 0)
  message(FATAL_ERROR "src/data/comet_magnitudes.cpp differs from the generator's output ${MAGNITUDES_OUTPUT}")
endif()

stelvo_add_test(meteors_survey_test SOURCES meteors_survey_test.cpp LIBS stelvo_meteors)
# stelvo-survey under mpirun with 1, 2 and 3 ranks, a rank killed mid-run and a
# resumed survey. Without mpirun the test reports itself skipped (77).
if(TARGET stelvo-survey)
  add_test(NAME survey_mpi
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/survey/survey_mpi_test.sh
                   $<TARGET_FILE:stelvo-survey>)
  set_tests_properties(survey_mpi PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 240)
endif()
if(STELVO_SANITIZE AND TARGET stelvo-survey)
  # OpenMPI leaves allocations of its plugins, unloaded by MPI_Finalize, that leak
  # checking cannot attribute to a library to suppress; the survey's own code is
  # leak-checked by meteors_survey_test. Everything else of ASan and UBSan stays on.
  set_tests_properties(survey_mpi PROPERTIES ENVIRONMENT
                       "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1")
endif()

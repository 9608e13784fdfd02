# The installed window program driven by a real input driver under Xvfb. Needs Xvfb,
# xdotool, ImageMagick and python3; without them the test reports itself skipped (77).
add_test(NAME window_e2e
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/e2e/window_e2e_test.sh ${PROJECT_BINARY_DIR}
                 ${CMAKE_COMMAND})
# The test sets the platform itself; the suite's offscreen default must not reach it.
set_tests_properties(window_e2e PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300
                                           ENVIRONMENT "QT_QPA_PLATFORM=xcb")

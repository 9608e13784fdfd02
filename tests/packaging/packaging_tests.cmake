# The installed files and the Debian package: validators, cpack, the packaged
# stelvo-cli run from a temporary root. Skips (77) when a Debian tool is missing.
add_test(NAME package_install
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/package_test.sh ${PROJECT_SOURCE_DIR}
                 ${PROJECT_BINARY_DIR})
set_tests_properties(package_install PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)

# The window and the version record. Both executables carry the version record, so
# the window caption and the grid show this build's version.
stelvo_add_test(version_info_test GUI
  SOURCES version_info_test.cpp ui_test_main.cpp
  LIBS stelvo_ui stelvo_version_record)
target_compile_definitions(version_info_test PRIVATE STELVO_VERSION="${PROJECT_VERSION}")

find_package(Qt6 REQUIRED COMPONENTS Test)
stelvo_add_test(ui_test GUI
  SOURCES ui_test.cpp ui_test_main.cpp
  LIBS stelvo_ui stelvo_version_record Qt6::Test)
target_compile_definitions(ui_test PRIVATE STELVO_VERSION="${PROJECT_VERSION}")

# A run that fails in the window.
stelvo_add_test(ui_fault_test GUI
  SOURCES ui_fault_test.cpp ui_test_main.cpp
  LIBS stelvo_ui stelvo_version_record)

# Heap allocations of the run loop; the executable counts them through its own
# malloc and operator new.
stelvo_add_test(ui_alloc_test GUI
  SOURCES ui_alloc_test.cpp ui_test_main.cpp
  LIBS stelvo_ui stelvo_version_record)

# The language switch of the window's texts, and the room for them. It runs once per
# font set, each made the only fonts visible by a fontconfig file written here:
# ui_language_test with DejaVu alone (what a fresh Debian has), ui_language_test_liberation
# with DejaVu and Liberation (what the set-up installs). Each names the families the
# window must then use, so a missing Liberation fails instead of passing on DejaVu.
stelvo_add_test(ui_language_test GUI
  SOURCES ui_language_test.cpp ui_test_main.cpp
  LIBS stelvo_ui stelvo_version_record)

function(stelvo_font_config file)
  set(dirs "")
  foreach(dir IN LISTS ARGN)
    string(APPEND dirs "  <dir>${dir}</dir>\n")
  endforeach()
  # The system's rules (aliases, hinting) without the user's and the local ones,
  # which may add folders.
  set(rules "")
  file(GLOB system_rules /etc/fonts/conf.d/*.conf)
  foreach(rule IN LISTS system_rules)
    if(NOT rule MATCHES "/(50-user|51-local)\\.conf$")
      string(APPEND rules "  <include ignore_missing=\"yes\">${rule}</include>\n")
    endif()
  endforeach()
  # The condensed and extra-light DejaVu faces come with fonts-dejavu-extra, which
  # neither a fresh machine nor the set-up has.
  file(WRITE "${file}" "<?xml version=\"1.0\"?>
<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">
<fontconfig>
${dirs}${rules}  <selectfont>
    <rejectfont>
      <glob>*/DejaVu*Condensed*</glob>
      <glob>*/DejaVu*ExtraLight*</glob>
    </rejectfont>
  </selectfont>
</fontconfig>
")
endfunction()

set(font_dir /usr/share/fonts/truetype)
set(dejavu_fonts "${CMAKE_CURRENT_BINARY_DIR}/fonts-dejavu.conf")
set(liberation_fonts "${CMAKE_CURRENT_BINARY_DIR}/fonts-liberation.conf")
stelvo_font_config("${dejavu_fonts}" ${font_dir}/dejavu)
stelvo_font_config("${liberation_fonts}" ${font_dir}/dejavu ${font_dir}/liberation2
                   ${font_dir}/liberation)
set_tests_properties(ui_language_test PROPERTIES ENVIRONMENT
  "QT_QPA_PLATFORM=offscreen;FONTCONFIG_FILE=${dejavu_fonts};STELVO_EXPECTED_FONTS=DejaVu Sans,DejaVu Sans Mono")
add_test(NAME ui_language_test_liberation COMMAND ui_language_test)
set_tests_properties(ui_language_test_liberation PROPERTIES ENVIRONMENT
  "QT_QPA_PLATFORM=offscreen;FONTCONFIG_FILE=${liberation_fonts};STELVO_EXPECTED_FONTS=Liberation Sans,Liberation Mono")

# The meteor shower window and its menu entry.
stelvo_add_test(ui_shower_window_test GUI
  SOURCES ui_shower_window_test.cpp ui_test_main.cpp
  LIBS stelvo_ui stelvo_version_record Qt6::Test)

# A long computation off the event loop, with its progress strip; the window with a
# job running as its own process, ended by Exit.
add_executable(ui_task_exit_main ui_task_exit_main.cpp)
target_link_libraries(ui_task_exit_main PRIVATE stelvo_ui stelvo_version_record)
stelvo_add_test(ui_background_task_test GUI
  SOURCES ui_background_task_test.cpp ui_test_main.cpp
  LIBS stelvo_ui Qt6::Test)
target_compile_definitions(ui_background_task_test PRIVATE
  STELVO_TASK_EXIT="$<TARGET_FILE:ui_task_exit_main>" STELVO_CLI="$<TARGET_FILE:stelvo-cli>")
add_dependencies(ui_background_task_test ui_task_exit_main stelvo-cli)

# The start of a trail forecast from a window, against stelvo-cli's.
stelvo_add_test(ui_forecast_controls_test GUI
  SOURCES ui_forecast_controls_test.cpp ui_test_main.cpp
  LIBS stelvo_ui Qt6::Test)
target_compile_definitions(ui_forecast_controls_test PRIVATE STELVO_CLI="$<TARGET_FILE:stelvo-cli>")
add_dependencies(ui_forecast_controls_test stelvo-cli)

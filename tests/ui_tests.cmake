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

# The language switch of the window's texts.
stelvo_add_test(ui_language_test GUI
  SOURCES ui_language_test.cpp ui_test_main.cpp
  LIBS stelvo_ui stelvo_version_record)

# The meteor shower window and its menu entry.
stelvo_add_test(ui_shower_window_test GUI
  SOURCES ui_shower_window_test.cpp ui_test_main.cpp
  LIBS stelvo_ui stelvo_version_record Qt6::Test)

# Start/Stop soak of the window on the offscreen platform; run by window_soak.sh.
add_executable(window_soak window_soak.cpp)
target_link_libraries(window_soak PRIVATE stelvo_ui stelvo_version_record)

# Start/Stop soak of the window on the offscreen platform; run by window_soak.sh.
add_executable(window_soak window_soak.cpp)
target_link_libraries(window_soak PRIVATE stelvo_ui stelvo_version_record)

# Passes per second with the meteor shower window closed and open.
add_executable(shower_window_bench shower_window_bench.cpp)
target_link_libraries(shower_window_bench PRIVATE stelvo_ui stelvo_version_record)

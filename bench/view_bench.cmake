# The display's cost per frame: run frame with 19,990 particles, its block copy, the
# orbit background.
add_executable(view_bench view_bench.cpp)
target_link_libraries(view_bench PRIVATE stelvo_view benchmark::benchmark)

# The shower pictures at the full capacity: radiant map and activity profile.
add_executable(shower_view_bench shower_view_bench.cpp)
target_link_libraries(shower_view_bench PRIVATE stelvo_view benchmark::benchmark)

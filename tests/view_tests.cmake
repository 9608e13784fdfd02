# The display: view state and projection, pixel primitives, orbit background, run
# frames and frame export, all rendered into images offscreen.
stelvo_add_test(view_projection_test SOURCES view_projection_test.cpp LIBS stelvo_view GUI)
stelvo_add_test(view_raster_test SOURCES view_raster_test.cpp LIBS stelvo_view GUI)
stelvo_add_test(view_background_test SOURCES view_background_test.cpp LIBS stelvo_view GUI)
stelvo_add_test(view_run_frame_test SOURCES view_run_frame_test.cpp LIBS stelvo_view GUI)
stelvo_add_test(view_frame_export_test SOURCES view_frame_export_test.cpp LIBS stelvo_view GUI)
# The shower pictures: radiant map and activity profile.
stelvo_add_test(view_radiant_map_test SOURCES view_radiant_map_test.cpp view_gui_test_main.cpp LIBS stelvo_view GUI)
stelvo_add_test(view_activity_profile_test SOURCES view_activity_profile_test.cpp view_gui_test_main.cpp LIBS stelvo_view GUI)
stelvo_add_test(view_forecast_timeline_test SOURCES view_forecast_timeline_test.cpp view_gui_test_main.cpp LIBS stelvo_view GUI)
# The encounter pictures: the trail map and the visibility world map.
stelvo_add_test(view_trail_map_test SOURCES view_trail_map_test.cpp view_gui_test_main.cpp LIBS stelvo_view GUI)
stelvo_add_test(view_world_map_test SOURCES view_world_map_test.cpp view_gui_test_main.cpp LIBS stelvo_view GUI)
stelvo_add_test(view_zhr_profile_test SOURCES view_zhr_profile_test.cpp view_gui_test_main.cpp LIBS stelvo_view GUI)

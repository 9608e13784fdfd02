stelvo_add_test(orbit_test SOURCES orbit_test.cpp LIBS stelvo_initial)
stelvo_add_test(particle_cloud_test SOURCES particle_cloud_test.cpp LIBS stelvo_run)
stelvo_add_test(planets_test SOURCES planets_test.cpp LIBS stelvo_initial)
stelvo_add_test(epoch_state_test SOURCES epoch_state_test.cpp LIBS stelvo_run)

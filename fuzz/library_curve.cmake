kova_fuzz_target(library_curve ${CMAKE_CURRENT_SOURCE_DIR}/library_curve.cpp DEPS kova_library)

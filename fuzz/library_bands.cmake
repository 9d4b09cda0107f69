kova_fuzz_target(library_bands ${CMAKE_CURRENT_SOURCE_DIR}/library_bands.cpp DEPS kova_library)

kova_fuzz_target(handed_paths ${CMAKE_CURRENT_SOURCE_DIR}/handed_paths.cpp DEPS kova_app kova_base)

kova_fuzz_target(assess_profile ${CMAKE_CURRENT_SOURCE_DIR}/assess_profile.cpp DEPS kova_assess)

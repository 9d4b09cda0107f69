kova_fuzz_target(assess_profile ${CMAKE_CURRENT_SOURCE_DIR}/assess_profile.cpp DEPS kova_assess)
kova_fuzz_target(assess_reference ${CMAKE_CURRENT_SOURCE_DIR}/assess_reference.cpp DEPS kova_assess)
kova_fuzz_target(assess_curve_import ${CMAKE_CURRENT_SOURCE_DIR}/assess_curve_import.cpp DEPS kova_assess)

kova_fuzz_target(plans_load ${CMAKE_CURRENT_SOURCE_DIR}/plans_load.cpp DEPS kova_plans)

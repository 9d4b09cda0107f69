kova_fuzz_target(plans_json ${CMAKE_CURRENT_SOURCE_DIR}/plans_json.cpp DEPS kova_plans)

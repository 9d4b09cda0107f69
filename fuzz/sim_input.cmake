kova_fuzz_target(sim_input ${CMAKE_CURRENT_SOURCE_DIR}/sim_input.cpp
                 DEPS kova_sim kova_device kova_plans kova_app kova_analysis kova_records kova_base)

kova_fuzz_target(device_replies ${CMAKE_CURRENT_SOURCE_DIR}/device_replies.cpp
                 DEPS kova_app kova_device kova_plans kova_analysis kova_records kova_base)

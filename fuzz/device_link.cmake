kova_fuzz_target(device_link ${CMAKE_CURRENT_SOURCE_DIR}/device_link.cpp
                 DEPS kova_device kova_app kova_analysis kova_records kova_base)

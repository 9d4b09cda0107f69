kova_fuzz_target(hid_descriptor ${CMAKE_CURRENT_SOURCE_DIR}/hid_descriptor.cpp DEPS kova_device kova_base)

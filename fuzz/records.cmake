kova_fuzz_target(fuzz_record_file ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_record_file.cpp DEPS kova_analysis kova_records)
kova_fuzz_target(fuzz_record_text ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_record_text.cpp DEPS kova_analysis kova_records)
kova_fuzz_target(fuzz_decode_raw ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_decode_raw.cpp DEPS kova_analysis kova_records)

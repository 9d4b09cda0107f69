kova_fuzz_target(text_export ${CMAKE_CURRENT_SOURCE_DIR}/text_export.cpp DEPS kova_export kova_analysis kova_records)

kova_fuzz_target(report_pages ${CMAKE_CURRENT_SOURCE_DIR}/report_pages.cpp DEPS kova_report kova_analysis kova_records)

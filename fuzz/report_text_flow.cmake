kova_fuzz_target(report_text_flow ${CMAKE_CURRENT_SOURCE_DIR}/report_text_flow.cpp DEPS kova_report)

kova_fuzz_target(report_template ${CMAKE_CURRENT_SOURCE_DIR}/report_template.cpp
                 DEPS kova_reportgen_inputs)
kova_fuzz_target(report_xml ${CMAKE_CURRENT_SOURCE_DIR}/report_xml.cpp DEPS kova_reportgen_inputs)

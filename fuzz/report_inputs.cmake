kova_fuzz_target(report_template ${CMAKE_CURRENT_SOURCE_DIR}/report_template.cpp
                 DEPS kova_reportgen_inputs)
kova_fuzz_target(report_xml ${CMAKE_CURRENT_SOURCE_DIR}/report_xml.cpp DEPS kova_reportgen_inputs)
kova_fuzz_target(report_schema ${CMAKE_CURRENT_SOURCE_DIR}/report_schema.cpp DEPS kova_platform)
target_compile_definitions(report_schema_replay
                           PRIVATE KOVA_SCHEMA_PATH="${PROJECT_SOURCE_DIR}/data/kovatest.xsd")
if(TARGET report_schema)
  target_compile_definitions(report_schema
                             PRIVATE KOVA_SCHEMA_PATH="${PROJECT_SOURCE_DIR}/data/kovatest.xsd")
endif()
kova_fuzz_target(report_sections ${CMAKE_CURRENT_SOURCE_DIR}/report_sections.cpp
                 DEPS kova_reportgen_inputs)

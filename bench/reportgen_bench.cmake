# The report generator's reading of a 10-test document with its calculation
# details, and the template's walk over it (no drawing); the XML with the
# details as the export builds it.
if(TARGET kova_reportgen_inputs)
  kova_benchmark(reportgen_bench DEPS kova_reportgen_inputs kova_export kova_testsupport)
  target_compile_definitions(reportgen_bench PRIVATE KOVA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endif()

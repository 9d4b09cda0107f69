# The automatic export of a 10-test record (pictures, XML, PDF through the
# report generator, workbook), whole and step by step.
if(TARGET hmReportExport)
  kova_benchmark(export_bench DEPS kova_platform kova_app kova_export kova_records kova_base
                                   kova_testsupport Qt6::Gui)
  target_compile_definitions(export_bench PRIVATE KOVA_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_dependencies(export_bench hmReportExport kova_data)
endif()

kova_benchmark(history_report_bench DEPS kova_platform kova_library_stores
               kova_library_testsupport kova_testsupport Qt6::Gui)

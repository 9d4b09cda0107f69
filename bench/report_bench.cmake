kova_benchmark(report_bench DEPS kova_platform kova_sim kova_testsupport Qt6::Gui)

kova_benchmark(desktop_bench DEPS kova_gui kova_testsupport Qt6::Widgets)

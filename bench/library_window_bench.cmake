kova_benchmark(library_window_bench DEPS kova_gui kova_library_testsupport kova_testsupport
               Qt6::Widgets)

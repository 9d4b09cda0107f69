kova_benchmark(serve_library DEPS kova_library_stores kova_library kova_library_testsupport
               kova_testsupport)

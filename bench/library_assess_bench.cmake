kova_benchmark(library_assess_bench DEPS kova_library_stores kova_library kova_library_testsupport
               kova_testsupport)

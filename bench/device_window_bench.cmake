# The transfer window during a 115200 bit/s download of 10 tests from
# kova-sim: paint gaps of the window's thread and the latency of Abort.
if(TARGET kova-sim)
  kova_benchmark(device_window_bench DEPS kova_gui kova_platform kova_sim kova_testsupport
                                          Qt6::Widgets)
  target_compile_definitions(device_window_bench PRIVATE KOVA_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_dependencies(device_window_bench kova-sim)
endif()

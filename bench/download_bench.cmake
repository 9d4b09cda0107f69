# Download of a stored directory from kova-sim over a pseudo-terminal, at
# the instrument's two speeds.
if(TARGET kova-sim)
  kova_benchmark(download_bench DEPS kova_platform kova_sim kova_app kova_device kova_plans
                                     kova_analysis kova_records kova_base kova_testsupport
                                     Qt6::Core)
  target_compile_definitions(download_bench PRIVATE KOVA_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_dependencies(download_bench kova-sim)
endif()

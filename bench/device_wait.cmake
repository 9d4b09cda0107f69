kova_benchmark(device_wait DEPS kova_platform kova_device kova_app kova_base Qt6::Core
               Qt6::SerialPort)

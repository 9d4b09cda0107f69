if(TARGET kova_library_stores)
  kova_fuzz_target(library_location ${CMAKE_CURRENT_SOURCE_DIR}/library_location.cpp
                   DEPS kova_library_stores)
endif()

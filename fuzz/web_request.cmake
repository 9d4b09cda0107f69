kova_fuzz_target(web_request ${CMAKE_CURRENT_SOURCE_DIR}/web_request.cpp DEPS kova_web)

# The library's web pages: their text, routing and parameters, the site on
# SQLite and on the private PostgreSQL cluster (library_stores.cmake starts
# it), hostile requests against a real server, and a headless browser
# against `kova serve`.
file(GLOB web_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/web/*.cpp)
add_executable(kova_web_tests ${web_test_sources}
                              ${CMAKE_CURRENT_SOURCE_DIR}/library_stores/store_fixture.cpp)
set_target_properties(kova_web_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_include_directories(kova_web_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}
                                                  ${CMAKE_CURRENT_SOURCE_DIR}/library_stores)
target_link_libraries(kova_web_tests PRIVATE kova_web kova_library_testsupport kova_testsupport
                                             GTest::gtest GTest::gtest_main)
target_compile_definitions(kova_web_tests PRIVATE KOVA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                                  KOVA_BINARY_DIR="${CMAKE_BINARY_DIR}")
# The browser test runs `kova serve`. (The tests choose the offscreen
# platform themselves: a second ENVIRONMENT entry would split this list.)
add_dependencies(kova_web_tests kova)
gtest_discover_tests(kova_web_tests DISCOVERY_TIMEOUT 60
                     PROPERTIES ENVIRONMENT "KOVA_TEST_PG_STATE=${pg_state}"
                                FIXTURES_REQUIRED library_pg)

# The library's store tests: one program run against SQLite and against a
# private PostgreSQL cluster that a fixture starts before and stops after
# them (a watchdog stops it too if the run dies).
add_library(kova_library_testsupport STATIC
            ${CMAKE_CURRENT_SOURCE_DIR}/library_support/library_records.cpp)
target_include_directories(kova_library_testsupport PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kova_library_testsupport PUBLIC kova_library kova_sim kova_analysis kova_records
                                                       kova_base)

file(GLOB store_test_sources CONFIGURE_DEPENDS
     ${CMAKE_CURRENT_SOURCE_DIR}/library_stores/*.cpp)
add_executable(kova_library_store_tests ${store_test_sources})
set_target_properties(kova_library_store_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY
                                                          ${CMAKE_BINARY_DIR}/tests)
target_include_directories(kova_library_store_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kova_library_store_tests PRIVATE kova_library_stores kova_library
                      kova_library_testsupport kova_testsupport GTest::gtest GTest::gtest_main)
set(pg_state ${CMAKE_CURRENT_BINARY_DIR}/library-pg-cluster.state)
add_test(NAME library_pg_cluster_start
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/library_stores/pg_cluster.sh start ${pg_state})
add_test(NAME library_pg_cluster_stop
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/library_stores/pg_cluster.sh stop ${pg_state})
set_tests_properties(library_pg_cluster_start PROPERTIES FIXTURES_SETUP library_pg)
set_tests_properties(library_pg_cluster_stop PROPERTIES FIXTURES_CLEANUP library_pg)
gtest_discover_tests(kova_library_store_tests DISCOVERY_TIMEOUT 60
                     PROPERTIES ENVIRONMENT "KOVA_TEST_PG_STATE=${pg_state}"
                                FIXTURES_REQUIRED library_pg)

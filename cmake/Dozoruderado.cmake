# dz_add_test(NAME name SOURCES ... LIBS ...)
# One test program whose cases CTest runs one by one, each named <program>.<suite>.<case>;
# the shared test main creates the application and sets the test environment.
include(GoogleTest)
function(dz_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE dz_test_support ${T_LIBS})
  gtest_discover_tests(${T_NAME} TEST_PREFIX ${T_NAME}. DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
endfunction()

# dz_add_bench(NAME name SOURCES ... LIBS ...): a Google Benchmark program under bench/.
function(dz_add_bench)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE benchmark::benchmark ${B_LIBS})
endfunction()

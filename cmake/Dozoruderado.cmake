# dz_add_test(NAME name SOURCES ... LIBS ... [ENVIRONMENT VAR=value ...])
# One test program whose cases CTest runs one by one, each named <program>.<suite>.<case>;
# the shared test main creates the application and sets the test environment, ENVIRONMENT
# adds to it.
include(GoogleTest)
function(dz_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE dz_test_support ${T_LIBS})
  gtest_discover_tests(${T_NAME} TEST_PREFIX ${T_NAME}. DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "${T_ENVIRONMENT}")
endfunction()

# dz_add_bench(NAME name SOURCES ... LIBS ...): a Google Benchmark program under bench/.
# The test command runs each once as bench_smoke.<name>: one iteration of every benchmark
# (DZ_BENCH_SMOKE tells those with a fixed time or count, see bench/support/BenchSmoke.h),
# failing on a crash or on a benchmark that reports an error.
function(dz_add_bench)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE benchmark::benchmark ${B_LIBS})
  target_include_directories(${B_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/bench)
  add_test(NAME bench_smoke.${B_NAME} COMMAND ${B_NAME} --benchmark_min_time=0.000001)
  set_tests_properties(bench_smoke.${B_NAME} PROPERTIES
    ENVIRONMENT "DZ_BENCH_SMOKE=1;QT_QPA_PLATFORM=offscreen"
    FAIL_REGULAR_EXPRESSION "ERROR OCCURRED"
    LABELS bench_smoke)
endfunction()

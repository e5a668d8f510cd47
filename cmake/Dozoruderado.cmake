# dz_add_test(NAME name SOURCES ... LIBS ...)
# One test program, run by CTest offscreen; the shared test main creates the application.
function(dz_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE dz_test_support ${T_LIBS})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;DZ_SOURCE_DIR=${CMAKE_SOURCE_DIR};DZ_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
endfunction()

# dz_add_bench(NAME name SOURCES ... LIBS ...): a Google Benchmark program under bench/.
function(dz_add_bench)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE benchmark::benchmark ${B_LIBS})
endfunction()

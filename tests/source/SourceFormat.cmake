# Fails when a C++ file differs from what clang-format makes of it with the tree's
# .clang-format; `clang-format -i FILE` mends it.
file(GLOB_RECURSE sources
  ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/server/*.h ${SOURCE_DIR}/server/*.cpp
  ${SOURCE_DIR}/tests/*.h ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/bench/*.h ${SOURCE_DIR}/bench/*.cpp
  ${SOURCE_DIR}/fuzz/*.h ${SOURCE_DIR}/fuzz/*.cpp)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources}
  RESULT_VARIABLE result ERROR_VARIABLE report)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Not laid out as .clang-format says (run clang-format -i on these files):\n${report}")
endif()
list(LENGTH sources count)
message(STATUS "${count} files laid out as .clang-format says")

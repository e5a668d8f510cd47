dz_add_fuzz(NAME error_history SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/correction/ErrorHistoryFuzz.cpp
  LIBS dz_correction dz_draw_tool)

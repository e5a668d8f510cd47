dz_add_fuzz(NAME reply_split SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/net/ReplySplitFuzz.cpp LIBS dz_net)

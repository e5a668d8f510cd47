dz_add_fuzz(NAME multipart_form SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/server/MultipartFormFuzz.cpp LIBS dz_server)

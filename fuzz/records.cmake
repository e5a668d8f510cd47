dz_add_fuzz(NAME packet_load SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/records/PacketLoadFuzz.cpp LIBS dz_dataset)
dz_add_fuzz(NAME jpeg_decode SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/records/JpegDecodeFuzz.cpp LIBS dz_jpeg)

dz_add_fuzz(NAME packet_load SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/records/PacketLoadFuzz.cpp LIBS dz_dataset)
dz_add_fuzz(NAME jpeg_decode SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/records/JpegDecodeFuzz.cpp LIBS dz_jpeg)
dz_add_fuzz(NAME bank_csv SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/records/BankCsvFuzz.cpp LIBS dz_document)

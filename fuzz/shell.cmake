dz_add_fuzz(NAME launch_file SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/shell/LaunchFileFuzz.cpp LIBS dz_shell)
dz_add_fuzz(NAME config_value SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/shell/ConfigValueFuzz.cpp LIBS dz_shell)

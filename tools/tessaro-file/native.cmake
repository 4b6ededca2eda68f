# tessaro-file: prints a chromatogram file as JSON.
add_executable(tessaro-file "${CMAKE_CURRENT_LIST_DIR}/main.cpp")
target_link_libraries(tessaro-file PRIVATE tessaro_core)
target_compile_options(tessaro-file PRIVATE -Wall -Wextra)

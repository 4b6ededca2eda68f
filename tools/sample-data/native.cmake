# tessaro-sample: writes a host database and its chromatogram files.
add_executable(tessaro-sample "${CMAKE_CURRENT_LIST_DIR}/main.cpp")
target_link_libraries(tessaro-sample PRIVATE tessaro_core)
target_compile_options(tessaro-sample PRIVATE -Wall -Wextra)

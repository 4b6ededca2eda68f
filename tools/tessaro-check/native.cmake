# tessaro-check: the linearity check over a host database, as text or JSON.
add_executable(tessaro-check "${CMAKE_CURRENT_LIST_DIR}/main.cpp")
target_link_libraries(tessaro-check PRIVATE tessaro_core tessaro_plot_png)
target_compile_options(tessaro-check PRIVATE -Wall -Wextra)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME tessaro-check.sample
         COMMAND Python3::Interpreter "${CMAKE_CURRENT_LIST_DIR}/check_test.py"
                 --check $<TARGET_FILE:tessaro-check> --sample $<TARGET_FILE:tessaro-sample>
                 --work "${CMAKE_CURRENT_BINARY_DIR}/tessaro-check-test")
set_tests_properties(tessaro-check.sample PROPERTIES LABELS tool TIMEOUT 300)

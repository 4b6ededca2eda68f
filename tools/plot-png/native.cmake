# Native PNG rendering of charts: the plot engine drawn through the cairo
# surface of plot/ (plot/cairo_surface_native.*), with the DejaVu fonts of the
# system. Gives the library tessaro_plot_png and the demo program
# tessaro-plot-demo.
add_library(tessaro_plot_png STATIC "${CMAKE_SOURCE_DIR}/tools/plot-png/plot_png.cpp")
target_link_libraries(tessaro_plot_png PUBLIC tessaro_core)
target_compile_options(tessaro_plot_png PRIVATE -Wall -Wextra)

add_executable(tessaro-plot-demo "${CMAKE_SOURCE_DIR}/tools/plot-png/demo_main.cpp")
target_link_libraries(tessaro-plot-demo PRIVATE tessaro_plot_png)
target_compile_options(tessaro-plot-demo PRIVATE -Wall -Wextra)

# The unit tests of the PNG rendering live with the other unit tests.
target_link_libraries(tessaro_tests PRIVATE tessaro_plot_png)

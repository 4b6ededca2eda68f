# Native (Linux) build: unit tests, command-line tools, benchmarks, and the
# end-to-end tests that run the Windows builds under wine.
enable_testing()

# The system libraries a layer calls natively: the cairo surface of plot/
# (plot/cairo_surface_native.cpp) rasterises through cairo.
find_package(PkgConfig REQUIRED)
pkg_check_modules(TESSARO_CAIRO REQUIRED IMPORTED_TARGET cairo)
target_link_libraries(tessaro_plot PUBLIC PkgConfig::TESSARO_CAIRO)

find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB unit_sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/unit/*.cpp")
add_executable(tessaro_tests ${unit_sources})
target_link_libraries(tessaro_tests PRIVATE tessaro_core GTest::gtest GTest::gtest_main)
# gtest's header is a third of compiling a test source: parsed once, with the
# standard headers the tests use.
target_precompile_headers(tessaro_tests PRIVATE <gtest/gtest.h> <algorithm> <cmath> <functional> <limits> <memory>
                          <stdexcept> <string> <vector>)
gtest_discover_tests(tessaro_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS unit)

# Each native tool folder and the benchmarks bring their own native.cmake.
file(GLOB tool_cmake_files CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tools/*/native.cmake")
foreach(tool_file ${tool_cmake_files})
  include("${tool_file}")
endforeach()
file(GLOB bench_sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/bench/*.cpp")
if(bench_sources)
  find_package(benchmark REQUIRED)
  add_executable(tessaro_bench ${bench_sources})
  target_link_libraries(tessaro_bench PRIVATE tessaro_core benchmark::benchmark benchmark::benchmark_main)
endif()

# End-to-end tests over the Windows builds (folders given by tools/build.sh).
set(TESSARO_WIN64_DIR "" CACHE PATH "x86_64 Windows build folder, for the wine64 tests")
set(TESSARO_WIN32_DIR "" CACHE PATH "i686 Windows build folder, for the one long wine32 run")
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(e2e_env "TESSARO_ROOT=${CMAKE_SOURCE_DIR}" "TESSARO_NATIVE_DIR=${CMAKE_BINARY_DIR}")
if(TESSARO_WIN64_DIR)
  add_test(NAME e2e.win64 COMMAND Python3::Interpreter "${CMAKE_SOURCE_DIR}/tests/e2e/run.py"
           --arch x86_64 --build "${TESSARO_WIN64_DIR}")
  # The longest tests start first (COST), the short ones fill the other job.
  set_tests_properties(e2e.win64 PROPERTIES SKIP_RETURN_CODE 77 LABELS e2e ENVIRONMENT "${e2e_env}" TIMEOUT 1800
                       COST 1000)
endif()
if(TESSARO_WIN32_DIR)
  add_test(NAME e2e.win32 COMMAND Python3::Interpreter "${CMAKE_SOURCE_DIR}/tests/e2e/run.py"
           --arch i686 --build "${TESSARO_WIN32_DIR}")
  set_tests_properties(e2e.win32 PROPERTIES SKIP_RETURN_CODE 77 LABELS "e2e;slow" ENVIRONMENT "${e2e_env}" TIMEOUT 2400
                       COST 2000)
endif()
if(TESSARO_WIN64_DIR AND TESSARO_WIN32_DIR)
  # Runs after both wine runs and compares the results tables they kept.
  add_test(NAME e2e.same-results COMMAND Python3::Interpreter "${CMAKE_SOURCE_DIR}/tests/e2e/same_results.py")
  set_tests_properties(e2e.same-results PROPERTIES SKIP_RETURN_CODE 77 LABELS e2e ENVIRONMENT "${e2e_env}"
                       DEPENDS "e2e.win64;e2e.win32")
endif()

# The shell helpers of the tools: a script's status is its own, not its clean-up's.
add_test(NAME tools.exit-status COMMAND bash "${CMAKE_SOURCE_DIR}/tests/scripts/exit_status.sh")
set_tests_properties(tools.exit-status PROPERTIES SKIP_RETURN_CODE 77 LABELS tool)
# The main job's copy of a host database of the user's.
add_test(NAME tools.user-db COMMAND Python3::Interpreter "${CMAKE_SOURCE_DIR}/tests/scripts/user_db_test.py")
set_tests_properties(tools.user-db PROPERTIES LABELS tool)

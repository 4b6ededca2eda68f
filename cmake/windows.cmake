# Windows build (mingw-w64): the plug-in DLL and the simulated host.
target_sources(tessaro_core PRIVATE ${core_win_sources})
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
set(static_runtime -static -static-libgcc -static-libstdc++)

file(GLOB win_sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/win/*.cpp" "${CMAKE_SOURCE_DIR}/ui/*.cpp")
add_library(Tessaro SHARED ${win_sources} "${CMAKE_SOURCE_DIR}/resources/tessaro.rc"
            "${CMAKE_SOURCE_DIR}/host/tessaro.def")
set_target_properties(Tessaro PROPERTIES PREFIX "" OUTPUT_NAME Tessaro)
target_link_libraries(Tessaro PRIVATE tessaro_core version comctl32 gdi32 gdiplus user32 comdlg32 shlwapi ole32)
target_link_options(Tessaro PRIVATE ${static_runtime} -Wl,--enable-stdcall-fixup)
target_compile_options(Tessaro PRIVATE -Wall -Wextra)
set_source_files_properties("${CMAKE_SOURCE_DIR}/resources/tessaro.rc" PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/version.rc;${CMAKE_SOURCE_DIR}/resources/dialogs.rc;${CMAKE_SOURCE_DIR}/resources/strings.rc;${CMAKE_SOURCE_DIR}/resources/resource.h;${CMAKE_SOURCE_DIR}/resources/tessaro.ico;${CMAKE_SOURCE_DIR}/resources/tessaro.manifest")

file(GLOB host_sim_sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tools/host-sim/*.cpp")
add_executable(host-sim ${host_sim_sources})
target_include_directories(host-sim PRIVATE "${CMAKE_SOURCE_DIR}")
target_link_libraries(host-sim PRIVATE tessaro_pugixml tessaro_sqlite tessaro_zlib version comctl32 gdi32 gdiplus user32 comdlg32 shlwapi)
target_link_options(host-sim PRIVATE ${static_runtime} -municode)
target_compile_options(host-sim PRIVATE -Wall -Wextra)
include("${CMAKE_SOURCE_DIR}/resources/report-templates/templates.cmake")

# Windows build (mingw-w64): the Win32 layers, the plug-in DLL and the simulated host.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
set(static_runtime -static -static-libgcc -static-libstdc++)

# The system libraries each layer calls, linked with it so they follow it on
# the link line.
target_link_libraries(tessaro_host PUBLIC version)
target_link_libraries(tessaro_plot PUBLIC gdi32)
target_link_libraries(tessaro_report PUBLIC gdiplus gdi32 shlwapi ole32)
tessaro_layer(win report comctl32 user32 gdi32)
tessaro_layer(ui win ui/model comdlg32 shlwapi)
tessaro_layer(plugin ui)
# The DLL is the top layer's objects with the resources and the export list.
add_library(Tessaro SHARED "${CMAKE_SOURCE_DIR}/resources/tessaro.rc" "${CMAKE_SOURCE_DIR}/plugin/tessaro.def")
target_sources(Tessaro PRIVATE $<TARGET_OBJECTS:tessaro_plugin>)
set_target_properties(Tessaro PROPERTIES PREFIX "" OUTPUT_NAME Tessaro)
target_link_libraries(Tessaro PRIVATE tessaro_ui)
target_link_options(Tessaro PRIVATE ${static_runtime} -Wl,--enable-stdcall-fixup)
set_source_files_properties("${CMAKE_SOURCE_DIR}/resources/tessaro.rc" PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/version.rc;${CMAKE_SOURCE_DIR}/resources/dialogs.rc;${CMAKE_SOURCE_DIR}/resources/strings.rc;${CMAKE_SOURCE_DIR}/resources/resource.h;${CMAKE_SOURCE_DIR}/resources/tessaro.ico;${CMAKE_SOURCE_DIR}/resources/tessaro.manifest")

# The simulated host's scenarios name the plug-in's controls as resources/resource.h
# does: the names are listed from the header whenever it changes, their values
# come from the header itself (cmake/resource_names.cmake).
set(resource_names "${CMAKE_BINARY_DIR}/generated/resource_names.inc")
add_custom_command(OUTPUT "${resource_names}"
  COMMAND "${CMAKE_COMMAND}" "-DHEADER=${CMAKE_SOURCE_DIR}/resources/resource.h" "-DOUTPUT=${resource_names}"
          -P "${CMAKE_SOURCE_DIR}/cmake/resource_names.cmake"
  DEPENDS "${CMAKE_SOURCE_DIR}/resources/resource.h" "${CMAKE_SOURCE_DIR}/cmake/resource_names.cmake"
  COMMENT "Listing the names of resources/resource.h")
file(GLOB host_sim_sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tools/host-sim/*.cpp")
add_executable(host-sim ${host_sim_sources} "${resource_names}")
target_include_directories(host-sim PRIVATE "${CMAKE_SOURCE_DIR}" "${CMAKE_BINARY_DIR}/generated")
target_link_libraries(host-sim PRIVATE tessaro_base tessaro_pugixml tessaro_sqlite tessaro_zlib version comctl32 gdi32 gdiplus user32 comdlg32 shlwapi)
target_link_options(host-sim PRIVATE ${static_runtime} -municode)
target_compile_options(host-sim PRIVATE -Wall -Wextra)
# windows.h and commctrl.h are most of what compiling a Win32 source parses:
# each Win32 target parses them once, into a precompiled header. System
# headers only, so each layer still sees only its own include root.
foreach(win32_target tessaro_win tessaro_ui tessaro_plugin host-sim)
  target_precompile_headers(${win32_target} PRIVATE <windows.h> <commctrl.h>)
endforeach()
include("${CMAKE_SOURCE_DIR}/resources/report-templates/templates.cmake")

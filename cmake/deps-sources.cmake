# Where tools/setup.sh unpacked the Debian sources of SQLite, pugixml and zlib.
set(sqlite_dir "${TESSARO_DEPS_DIR}/sqlite")
set(pugixml_dir "${TESSARO_DEPS_DIR}/pugixml/src")
set(zlib_dir "${TESSARO_DEPS_DIR}/zlib")
set(minizip_dir "${zlib_dir}/contrib/minizip")
if(NOT EXISTS "${sqlite_dir}/sqlite3.c" OR NOT EXISTS "${pugixml_dir}/pugixml.cpp"
   OR NOT EXISTS "${minizip_dir}/zip.c")
  message(FATAL_ERROR "Dependency sources missing in ${TESSARO_DEPS_DIR}: run tools/setup.sh first")
endif()
set(TESSARO_DEP_LIBS tessaro_sqlite tessaro_pugixml tessaro_zlib)

# What code that uses the three libraries needs: headers, the definitions that
# change their interfaces, and SQLite's system libraries. `scope` is PUBLIC for
# libraries compiled here and INTERFACE for ones compiled in the dependency cache.
function(tessaro_dep_usage scope)
  target_include_directories(tessaro_sqlite SYSTEM ${scope} "${sqlite_dir}")
  if(NOT WIN32)
    find_package(Threads REQUIRED)
    target_link_libraries(tessaro_sqlite ${scope} Threads::Threads ${CMAKE_DL_LIBS} m)
  endif()
  target_include_directories(tessaro_pugixml SYSTEM ${scope} "${pugixml_dir}")
  target_compile_definitions(tessaro_pugixml ${scope} PUGIXML_WCHAR_MODE)
  target_include_directories(tessaro_zlib SYSTEM ${scope} "${zlib_dir}" "${minizip_dir}")
  target_compile_definitions(tessaro_zlib ${scope} NOCRYPT NOUNCRYPT)
endfunction()

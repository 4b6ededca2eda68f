# SQLite, pugixml and zlib with minizip, compiled from the Debian sources that tools/setup.sh
# unpacks into TESSARO_DEPS_DIR, once for each build folder.
set(sqlite_dir "${TESSARO_DEPS_DIR}/sqlite")
set(pugixml_dir "${TESSARO_DEPS_DIR}/pugixml/src")
set(zlib_dir "${TESSARO_DEPS_DIR}/zlib")
if(NOT EXISTS "${sqlite_dir}/sqlite3.c" OR NOT EXISTS "${pugixml_dir}/pugixml.cpp"
   OR NOT EXISTS "${zlib_dir}/contrib/minizip/zip.c")
  message(FATAL_ERROR "Dependency sources missing in ${TESSARO_DEPS_DIR}: run tools/setup.sh first")
endif()

add_library(tessaro_sqlite STATIC "${sqlite_dir}/sqlite3.c")
target_include_directories(tessaro_sqlite SYSTEM PUBLIC "${sqlite_dir}")
target_compile_definitions(tessaro_sqlite PRIVATE
  SQLITE_OMIT_LOAD_EXTENSION SQLITE_DQS=0 SQLITE_DEFAULT_FOREIGN_KEYS=0 SQLITE_USE_URI=0)
# The amalgamation is large; optimise it even in debug builds and keep it quiet.
target_compile_options(tessaro_sqlite PRIVATE -O2 -w)
if(NOT WIN32)
  find_package(Threads REQUIRED)
  # Lets a busy connection retry within milliseconds instead of whole seconds.
  target_compile_definitions(tessaro_sqlite PRIVATE HAVE_USLEEP=1)
  target_link_libraries(tessaro_sqlite PUBLIC Threads::Threads ${CMAKE_DL_LIBS} m)
endif()

add_library(tessaro_pugixml STATIC "${pugixml_dir}/pugixml.cpp")
target_include_directories(tessaro_pugixml SYSTEM PUBLIC "${pugixml_dir}")
target_compile_definitions(tessaro_pugixml PUBLIC PUGIXML_WCHAR_MODE)
target_compile_options(tessaro_pugixml PRIVATE -O2 -w)

# zlib's deflate/inflate core and minizip's zip and unzip (no gz file layer,
# no encryption); on Windows also minizip's wide-path file functions.
set(minizip_dir "${zlib_dir}/contrib/minizip")
set(zlib_sources adler32.c compress.c crc32.c deflate.c infback.c inffast.c inflate.c inftrees.c trees.c uncompr.c
    zutil.c)
list(TRANSFORM zlib_sources PREPEND "${zlib_dir}/")
list(APPEND zlib_sources "${minizip_dir}/ioapi.c" "${minizip_dir}/zip.c" "${minizip_dir}/unzip.c")
if(WIN32)
  list(APPEND zlib_sources "${minizip_dir}/iowin32.c")
endif()
add_library(tessaro_zlib STATIC ${zlib_sources})
target_include_directories(tessaro_zlib SYSTEM PUBLIC "${zlib_dir}" "${minizip_dir}")
target_compile_definitions(tessaro_zlib PUBLIC NOCRYPT NOUNCRYPT)
target_compile_options(tessaro_zlib PRIVATE -O2 -w)

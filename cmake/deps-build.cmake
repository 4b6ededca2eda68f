# Compiles SQLite, pugixml and zlib with minizip (after deps-sources.cmake).
add_library(tessaro_sqlite STATIC "${sqlite_dir}/sqlite3.c")
# No option that changes what valid data reads as. What a connection may cost
# (value length, worker threads, ...) is bounded per connection in
# data/database.cpp, not here: the same library writes the sample and test
# databases, some of them large on purpose. SQLITE_DEFAULT_MEMSTATUS stays on
# (the default): the heap limit of the plug-in's connections needs it.
target_compile_definitions(tessaro_sqlite PRIVATE
  SQLITE_OMIT_LOAD_EXTENSION SQLITE_DQS=0 SQLITE_DEFAULT_FOREIGN_KEYS=0 SQLITE_USE_URI=0)
if(NOT WIN32)
  # Lets a busy connection retry within milliseconds instead of whole seconds.
  target_compile_definitions(tessaro_sqlite PRIVATE HAVE_USLEEP=1)
endif()

add_library(tessaro_pugixml STATIC "${pugixml_dir}/pugixml.cpp")

# zlib's deflate/inflate core and minizip's zip and unzip (no gz file layer,
# no encryption); on Windows also minizip's wide-path file functions.
set(zlib_sources adler32.c compress.c crc32.c deflate.c infback.c inffast.c inflate.c inftrees.c trees.c uncompr.c
    zutil.c)
list(TRANSFORM zlib_sources PREPEND "${zlib_dir}/")
list(APPEND zlib_sources "${minizip_dir}/ioapi.c" "${minizip_dir}/zip.c" "${minizip_dir}/unzip.c")
if(WIN32)
  list(APPEND zlib_sources "${minizip_dir}/iowin32.c")
endif()
add_library(tessaro_zlib STATIC ${zlib_sources})

# The sources are large and not ours: optimised even in debug builds, and quiet.
foreach(lib ${TESSARO_DEP_LIBS})
  target_compile_options(${lib} PRIVATE -O2 -w)
endforeach()
tessaro_dep_usage(PUBLIC)

# SQLite, pugixml and zlib with minizip from the Debian sources in TESSARO_DEPS_DIR.
# tools/build.sh compiles them once per target into a cache (cmake/deps/, built
# in TESSARO_DEPS_DIR/lib-<target>-<key>/build) and passes that folder as TESSARO_DEPS_LIB_DIR,
# so a fresh build folder does not compile them again; without it they are
# compiled here.
include("${CMAKE_CURRENT_LIST_DIR}/deps-sources.cmake")
set(TESSARO_DEPS_LIB_DIR "" CACHE PATH "Folder with the dependency libraries compiled from cmake/deps")

set(prebuilt_ok FALSE)
if(TESSARO_DEPS_LIB_DIR)
  set(prebuilt_ok TRUE)
  foreach(lib ${TESSARO_DEP_LIBS})
    if(NOT EXISTS "${TESSARO_DEPS_LIB_DIR}/lib${lib}.a")
      message(FATAL_ERROR "lib${lib}.a missing in ${TESSARO_DEPS_LIB_DIR}: build cmake/deps there first")
    endif()
  endforeach()
endif()

if(prebuilt_ok)
  foreach(lib ${TESSARO_DEP_LIBS})
    add_library(${lib} STATIC IMPORTED GLOBAL)
    set_target_properties(${lib} PROPERTIES IMPORTED_LOCATION "${TESSARO_DEPS_LIB_DIR}/lib${lib}.a")
  endforeach()
  tessaro_dep_usage(INTERFACE)
else()
  include("${CMAKE_CURRENT_LIST_DIR}/deps-build.cmake")
endif()

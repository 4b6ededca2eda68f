# tessaro_layer(FOLDER [BELOW...] [LIBRARIES...]): the static library of one
# layer folder, tessaro_<folder with / as _>. BELOW are the layers right under
# it (their libraries are linked, their folders are visible); other arguments
# are libraries linked beside it. The folder sees itself, every folder its
# BELOW layers see, and resources/ when it is at or above the Win32 layer. So
# win/, made on report/, does not see ui/model/, which is made on report/ too,
# and ui/, made on both, sees them both.
set(TESSARO_LAYER_ORDER base host data catalogue calc plot report ui/model win ui plugin)

function(tessaro_layer folder)
  string(REPLACE "/" "_" name "${folder}")
  set(target "tessaro_${name}")
  set(belows "")
  set(libraries "")
  set(visible_folders "${folder}")
  foreach(argument ${ARGN})
    if(argument IN_LIST TESSARO_LAYER_ORDER)
      list(APPEND belows "${argument}")
      get_property(seen GLOBAL PROPERTY "TESSARO_VISIBLE_${argument}")
      list(APPEND visible_folders ${seen})
    else()
      list(APPEND libraries "${argument}")
    endif()
  endforeach()
  list(REMOVE_DUPLICATES visible_folders)
  set_property(GLOBAL PROPERTY "TESSARO_VISIBLE_${folder}" "${visible_folders}")

  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${folder}/*.cpp")
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "_native\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "_win\\.cpp$")
  endif()
  add_library(${target} STATIC ${sources})

  # The include root: links to the folders it sees, in the layers' order.
  list(FIND TESSARO_LAYER_ORDER "${folder}" position)
  set(root "${CMAKE_BINARY_DIR}/layers/${name}")
  file(REMOVE_RECURSE "${root}")
  foreach(visible ${TESSARO_LAYER_ORDER})
    if(NOT visible IN_LIST visible_folders)
      continue()
    endif()
    get_filename_component(parent "${root}/${visible}" DIRECTORY)
    file(MAKE_DIRECTORY "${parent}")
    # ui/ comes after ui/model/: its link replaces the folder that held model.
    file(REMOVE_RECURSE "${root}/${visible}")
    file(CREATE_LINK "${CMAKE_SOURCE_DIR}/${visible}" "${root}/${visible}" SYMBOLIC)
  endforeach()
  list(FIND TESSARO_LAYER_ORDER win win_position)
  if(position GREATER_EQUAL win_position)
    file(CREATE_LINK "${CMAKE_SOURCE_DIR}/resources" "${root}/resources" SYMBOLIC)
  endif()
  target_include_directories(${target} PRIVATE "${root}")

  foreach(below ${belows})
    string(REPLACE "/" "_" below_name "${below}")
    target_link_libraries(${target} PUBLIC "tessaro_${below_name}")
  endforeach()
  if(libraries)
    target_link_libraries(${target} PUBLIC ${libraries})
  endif()
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" OR CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra)
  endif()
endfunction()

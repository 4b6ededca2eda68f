# tessaro_layer(FOLDER [BELOW] [LIBRARIES...]): the static library of one
# layer folder, tessaro_<folder with / as _>. BELOW is the layer right under it
# (its library is linked, its folders are visible); other arguments are
# libraries linked beside it. The folder sees itself, every layer below it,
# and resources/ when it is at or above the Win32 layer.
set(TESSARO_LAYER_ORDER base host data catalogue calc plot report ui/model win ui plugin)

function(tessaro_layer folder)
  string(REPLACE "/" "_" name "${folder}")
  set(target "tessaro_${name}")
  set(below "")
  set(libraries "")
  foreach(argument ${ARGN})
    if(argument IN_LIST TESSARO_LAYER_ORDER)
      set(below "${argument}")
    else()
      list(APPEND libraries "${argument}")
    endif()
  endforeach()

  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${folder}/*.cpp")
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "_native\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "_win\\.cpp$")
  endif()
  add_library(${target} STATIC ${sources})

  # The include root: links to this folder and every folder under it.
  list(FIND TESSARO_LAYER_ORDER "${folder}" position)
  set(root "${CMAKE_BINARY_DIR}/layers/${name}")
  file(REMOVE_RECURSE "${root}")
  foreach(index RANGE ${position})
    list(GET TESSARO_LAYER_ORDER ${index} visible)
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

  if(below)
    string(REPLACE "/" "_" below_name "${below}")
    target_link_libraries(${target} PUBLIC "tessaro_${below_name}")
  endif()
  if(libraries)
    target_link_libraries(${target} PUBLIC ${libraries})
  endif()
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" OR CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra)
  endif()
endfunction()

# One static library per folder of src/. Sources are collected from the folder,
# so adding a unit needs no edit here.
# EXCLUDE_DIRS names sub-folders that are layers of their own.
function(kal_add_layer name dir)
  cmake_parse_arguments(KAL "" "" "EXCLUDE_DIRS" ${ARGN})
  set(KAL_DEPS ${KAL_UNPARSED_ARGUMENTS})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/src/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/src/${dir}/*.h)
  list(FILTER srcs EXCLUDE REGEX ".*\\.h$")
  foreach(sub ${KAL_EXCLUDE_DIRS})
    list(FILTER srcs EXCLUDE REGEX "^${CMAKE_SOURCE_DIR}/src/${dir}/${sub}/")
  endforeach()
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${KAL_DEPS})
    target_compile_definitions(${name} PUBLIC KAL_MODEL_CODE=${MODEL_CODE})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${KAL_DEPS})
    target_compile_definitions(${name} INTERFACE KAL_MODEL_CODE=${MODEL_CODE})
  endif()
endfunction()

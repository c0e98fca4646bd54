# vyk_add_subsystem(<target> [DEPS ...]): a static library from every .cpp under the
# calling folder (recursively), included as "<folder>/<header>.h" from the project
# root. A folder with headers only becomes an interface library.
function(vyk_add_subsystem target)
  cmake_parse_arguments(S "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(srcs)
    add_library(${target} STATIC ${srcs})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${S_DEPS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${S_DEPS})
  endif()
endfunction()

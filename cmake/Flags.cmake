# Compiler flags shared by every target of the project.
add_compile_options(-Wall -Wextra -Wno-unused-parameter)
# The GNU dialect contracts a*b+c into FMA by default, which changes DSP and
# animation results between machines; keep every product rounded.
add_compile_options(-ffp-contract=off)

if(VYK_SANITIZE STREQUAL "address")
  add_compile_options(-O1 -g -fno-omit-frame-pointer -fsanitize=address,undefined
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
  add_compile_definitions(VYK_SANITIZED=1)
elseif(VYK_SANITIZE STREQUAL "thread")
  add_compile_options(-O1 -g -fno-omit-frame-pointer -fsanitize=thread)
  add_link_options(-fsanitize=thread)
  add_compile_definitions(VYK_SANITIZED=1)
elseif(NOT VYK_SANITIZE STREQUAL "")
  message(FATAL_ERROR "VYK_SANITIZE must be address, thread or empty")
endif()

if(VYK_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "the fuzz targets need clang (CXX=clang++)")
  endif()
  add_compile_options(-g -fsanitize=fuzzer-no-link,address,undefined)
  add_link_options(-fsanitize=address,undefined)
  add_compile_definitions(VYK_SANITIZED=1 VYK_FUZZING=1)
endif()

# Instrumentation of the fuzz build: every object gets libFuzzer's coverage
# hooks and the address and undefined-behaviour sanitizers, so that the
# library code under test is both guided and checked.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "DRAVONIX_FUZZ needs clang++ (configure with CXX=clang++)")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                    -fno-omit-frame-pointer -g)
add_link_options(-fsanitize=address,undefined)

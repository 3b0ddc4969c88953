# The fuzz target needs clang and the sanitizers, which this build may not
# use: a build of its own in fuzz-clang/ makes that target and nothing else,
# and replaying the PNG suite through it is a test of this build. Every
# valid and broken file then runs through the whole load path under the
# sanitizers.
include(ExternalProject)
find_program(MARROWDALE_CLANGXX clang++ REQUIRED)
set(_fuzz_dir ${PROJECT_BINARY_DIR}/fuzz-clang)
ExternalProject_Add(fuzz_clang
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${_fuzz_dir}
  CMAKE_ARGS -DCMAKE_CXX_COMPILER=${MARROWDALE_CLANGXX}
             -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
             -DCMAKE_BUILD_TYPE=RelWithDebInfo
             -DMARROWDALE_FUZZ=ON -DMARROWDALE_TESTS=OFF
             -DMARROWDALE_WERROR=${MARROWDALE_WERROR}
  BUILD_COMMAND ${CMAKE_COMMAND} --build ${_fuzz_dir} --target fuzz_png_load
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${_fuzz_dir}/fuzz/fuzz_png_load
  INSTALL_COMMAND "")

file(GLOB _pngsuite ${PROJECT_SOURCE_DIR}/tests/media/pngsuite/*.png)
add_test(NAME fuzz_png_load_replay COMMAND ${_fuzz_dir}/fuzz/fuzz_png_load ${_pngsuite})
set_tests_properties(fuzz_png_load_replay PROPERTIES ENVIRONMENT "LSAN_OPTIONS=${MARROWDALE_LSAN_OPTIONS}")

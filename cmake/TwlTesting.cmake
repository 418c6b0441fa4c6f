# One test program per folder under tests/: every .cpp in the folder is
# compiled into it, linked with GoogleTest and whatever the caller names.
# Each test case runs in its own process, so tests that touch process-wide
# state (singletons, the current directory, named objects) stay independent.
function(twl_add_test_folder name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE twl_test_support GTest::gtest GTest::gmock ${ARG_LIBS})
  # The sources of a folder compile together in batches: GoogleTest and the
  # platform headers are parsed once a batch instead of once a file, which
  # makes the sanitizer build of the tests about three times faster. Test
  # files therefore keep their helpers in distinct names or namespaces. GCC
  # takes every file but the batch's own for a header and would warn about
  # each fixture in an unnamed namespace.
  set_target_properties(${name} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    UNITY_BUILD ON
    UNITY_BUILD_BATCH_SIZE 8)
  target_compile_options(${name} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-subobject-linkage>)
  # Each test carries its area (the first folder under tests/) as a label,
  # so that one area can be run alone: ctest -L platform.
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  string(REGEX REPLACE "/.*" "" area "${folder}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES LABELS "${area}")
endfunction()

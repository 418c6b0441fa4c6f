# The batch files of a test folder's sources, eight to a batch, written to
# the folder's build folder (rewritten only when their text changes).
function(twl_test_batches out)
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/batches)
  set(files)
  set(text "")
  set(count 0)
  set(batch 0)
  foreach(source IN LISTS ARGN)
    file(RELATIVE_PATH relative ${folder} ${source})
    string(APPEND text "#include \"${relative}\"\n")
    math(EXPR count "${count} + 1")
    list(LENGTH ARGN total)
    math(EXPR position "${count} % 8")
    if(position EQUAL 0 OR count EQUAL total)
      file(CONFIGURE OUTPUT ${folder}/batch_${batch}.cpp CONTENT "${text}")
      list(APPEND files ${folder}/batch_${batch}.cpp)
      set(text "")
      math(EXPR batch "${batch} + 1")
    endif()
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# One test program per folder under tests/: every .cpp in the folder is
# compiled into it, linked with GoogleTest and whatever the caller names.
# Each test case runs in its own process, so tests that touch process-wide
# state (singletons, the current directory, named objects) stay independent.
# RESOURCE_LOCK names something the folder's tests cannot share, so CTest
# runs them one at a time.
function(twl_add_test_folder name)
  cmake_parse_arguments(ARG "" "RESOURCE_LOCK" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  # The sources of a folder compile together in batches of eight:
  # GoogleTest and the platform headers are parsed once a batch instead of
  # once a file, which makes the sanitizer build of the tests about three
  # times faster. Test files therefore keep their helpers in distinct names
  # or namespaces. The batches name their sources relative to themselves,
  # so that a checkout in another folder compiles the same text and the
  # compiler cache serves it.
  twl_test_batches(batches ${sources})
  add_executable(${name} ${batches})
  target_link_libraries(${name} PRIVATE twl_test_support GTest::gtest GTest::gmock ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # GCC takes every file but the batch's own for a header and would warn
  # about each fixture in an unnamed namespace.
  target_compile_options(${name} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-subobject-linkage>)
  # Each test carries its area (the first folder under tests/) as a label,
  # so that one area can be run alone: ctest -L platform.
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  string(REGEX REPLACE "/.*" "" area "${folder}")
  set(properties LABELS "${area}")
  if(ARG_RESOURCE_LOCK)
    list(APPEND properties RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ${properties})
endfunction()

# Sources of a library folder: every .cpp below it except the tests.
function(twl_collect_sources out dir)
  file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp)
  list(FILTER found EXCLUDE REGEX "/tests/")
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# Resources of a module: twl_add_resources(target LIST) compiles the
# resource list LIST (format: tools/rescomp/ResourceList.h) into a source
# of the target, which registers the resources with the platform layer while
# the module is loaded. The build redoes it when the list or a file it names
# changes.
function(twl_add_resources target list)
  get_filename_component(list_path ${list} ABSOLUTE)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}.resources.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND rescomp ${list_path} ${output} ${output}.d
    DEPENDS rescomp ${list_path}
    DEPFILE ${output}.d
    COMMENT "Compiling the resources of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()

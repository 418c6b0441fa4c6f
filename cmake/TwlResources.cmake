# Where the build puts the resource files it makes (the compiled built-in
# skin).
set(TWL_GENERATED_RESOURCES ${CMAKE_BINARY_DIR}/resources)

# Resources of a module: twl_add_resources(target LIST [GENERATED FOLDER]
# [DEPENDS targets...]) compiles the resource list LIST (format:
# tools/rescomp/ResourceList.h) into a source of the target, which registers
# the resources with the platform layer while the module is loaded. Files
# the list names as "@name" are taken from FOLDER, where the targets named
# after DEPENDS make them. The build redoes it when the list or a file it
# names changes.
function(twl_add_resources target list)
  cmake_parse_arguments(ARG "" "GENERATED" "DEPENDS" ${ARGN})
  get_filename_component(list_path ${list} ABSOLUTE)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}.resources.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND rescomp ${list_path} ${output} ${output}.d ${ARG_GENERATED}
    DEPENDS rescomp ${list_path} ${ARG_DEPENDS}
    DEPFILE ${output}.d
    COMMENT "Compiling the resources of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()

# The player's resource list carries the built-in skin, which skinc
# compiles from resources/skins/builtin/ (tools/skinc): a module that
# carries the player's resources (the player; skinc and tests until it
# exists) calls this.
function(twl_add_player_resources target)
  twl_add_resources(${target} ${PROJECT_SOURCE_DIR}/resources/twl.rlist
    GENERATED ${TWL_GENERATED_RESOURCES} DEPENDS twl_builtin_skin)
endfunction()

# twl_add_plugin(target OUTPUT_NAME name OUTPUT_DIRECTORY dir SOURCES ...
#                [DEFINITIONS ...] [LIBS ...])
# A plug-in module: an ELF shared object named "<name>.dll" that exports
# only PLUGIN_GetMainInterface. Everything else stays hidden (visibility and
# a version script), so a plug-in's copies of shared code never bind to the
# host's or another plug-in's. It links the plug-in interface, the platform
# layer through it, and whatever LIBS names (never twlcore).
function(twl_add_plugin target)
  cmake_parse_arguments(ARG "" "OUTPUT_NAME;OUTPUT_DIRECTORY" "SOURCES;DEFINITIONS;LIBS" ${ARGN})
  add_library(${target} MODULE ${ARG_SOURCES})
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    SUFFIX ".dll"
    OUTPUT_NAME ${ARG_OUTPUT_NAME}
    LIBRARY_OUTPUT_DIRECTORY ${ARG_OUTPUT_DIRECTORY}
    C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  target_link_libraries(${target} PRIVATE pluginabi ${ARG_LIBS})
  target_link_options(${target} PRIVATE -Wl,--version-script=${PROJECT_SOURCE_DIR}/cmake/PlugInExports.map)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/PlugInExports.map)
  if(ARG_DEFINITIONS)
    target_compile_definitions(${target} PRIVATE ${ARG_DEFINITIONS})
  endif()
endfunction()

# twlcore: the player's own subsystems (plug-in host, playback, display,
# skins, application core, application windows) as one static library, so
# that the program, its drivers and the tests link the same code. The
# subsystems call each other in both directions (the player system posts to
# the user interface, the user interface drives the player system), so they
# are one link unit; their folders still show the layers. The program's
# entry (app/program/) stays out of it and goes into the `twl` executable.
set(TWL_CORE_FOLDERS pluginhost playback display skins app windows)
set(TWL_CORE_SOURCES)
foreach(folder IN LISTS TWL_CORE_FOLDERS)
  if(EXISTS ${PROJECT_SOURCE_DIR}/${folder})
    twl_collect_sources(found ${PROJECT_SOURCE_DIR}/${folder})
    list(FILTER found EXCLUDE REGEX "/app/program/")
    list(APPEND TWL_CORE_SOURCES ${found})
  endif()
endforeach()

if(TWL_CORE_SOURCES)
  add_library(twlcore STATIC ${TWL_CORE_SOURCES})
  set(scope PUBLIC)
  set_target_properties(twlcore PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
else()
  add_library(twlcore INTERFACE)
  set(scope INTERFACE)
endif()
target_include_directories(twlcore ${scope} ${PROJECT_SOURCE_DIR})
target_link_libraries(twlcore ${scope} foundation playlistformat twlwin)

# The plug-in ABI: header-only, shared by the host and every plug-in. Its
# types are the platform layer's, which every plug-in shares with the host.
add_library(pluginabi INTERFACE)
target_include_directories(pluginabi INTERFACE ${PROJECT_SOURCE_DIR})
target_link_libraries(pluginabi INTERFACE twlwin)

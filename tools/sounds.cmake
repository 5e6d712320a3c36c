# Our own sound set, synthesised at build time into the resource folder:
# seven crackles, the hiss loop, the skip, stop and switch sounds and the demo
# song. Plain C++ with no libraries; optimised even in Debug so that writing
# the set stays quick under the sanitizers.
include(${CMAKE_CURRENT_LIST_DIR}/sounds/SynthSources.cmake)

add_executable(gx_make_sounds ${GX_SYNTH_DIR}/main.cpp ${GX_SYNTH_SOURCES})
target_compile_options(gx_make_sounds PRIVATE -O2)
# The sound names are shared with the player.
target_include_directories(gx_make_sounds PRIVATE ${CMAKE_SOURCE_DIR}/src)

# What the generator writes: the names listed in src/sound/SoundNames.h.
gx_names_from_header(${CMAKE_SOURCE_DIR}/src/sound/SoundNames.h GX_SOUND_NAMES)
list(TRANSFORM GX_SOUND_NAMES REPLACE "(.+)" "${GX_RESOURCE_DIR}/\\1.wav" OUTPUT_VARIABLE GX_SOUND_FILES)

add_custom_command(OUTPUT ${GX_SOUND_FILES}
  COMMAND $<TARGET_FILE:gx_make_sounds> ${GX_RESOURCE_DIR}
  DEPENDS gx_make_sounds
  COMMENT "Synthesising the sound set"
  VERBATIM)
add_custom_target(gx_sounds DEPENDS ${GX_SOUND_FILES})
add_dependencies(gx_generated_resources gx_sounds)

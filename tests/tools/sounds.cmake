# The generated sound set as the build wrote it, and the synthesis kit's
# parts on their own.
include(${CMAKE_SOURCE_DIR}/tools/sounds/SynthSources.cmake)
gx_add_test(gx_sounds_tests SOURCES SoundSetTest.cpp SoundSynthTest.cpp ${GX_SYNTH_SOURCES} LABELS unit)
target_include_directories(gx_sounds_tests PRIVATE ${GX_SYNTH_DIR})

# The generated sound set as the build wrote it.
gx_add_test(gx_sounds_tests SOURCES SoundSetTest.cpp LABELS unit)

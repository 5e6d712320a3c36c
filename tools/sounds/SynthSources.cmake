# The synthesis kit and the sound families, shared by the generator and its
# tests so both build the same code.
set(GX_SYNTH_DIR ${CMAKE_CURRENT_LIST_DIR})
set(GX_SYNTH_SOURCES
  ${GX_SYNTH_DIR}/AudioBuffer.cpp
  ${GX_SYNTH_DIR}/Biquad.cpp
  ${GX_SYNTH_DIR}/Crackles.cpp
  ${GX_SYNTH_DIR}/Envelope.cpp
  ${GX_SYNTH_DIR}/Hiss.cpp
  ${GX_SYNTH_DIR}/Instruments.cpp
  ${GX_SYNTH_DIR}/Mechanics.cpp
  ${GX_SYNTH_DIR}/Oscillator.cpp
  ${GX_SYNTH_DIR}/Random.cpp
  ${GX_SYNTH_DIR}/Reverb.cpp
  ${GX_SYNTH_DIR}/Serenade.cpp
  ${GX_SYNTH_DIR}/SoundSet.cpp
  ${GX_SYNTH_DIR}/Transients.cpp
  ${GX_SYNTH_DIR}/WavWriter.cpp)

# The artwork tests read what gx_make_artwork painted into the resource
# folder, run the generator once more to check it repeats, and test its
# building blocks directly.
if(NOT TARGET gx_make_artwork)
  # tools/CMakeLists.txt normally includes the generator; define it here if
  # it has not, so the images the tests need are still made.
  include(${CMAKE_SOURCE_DIR}/tools/artwork.cmake)
endif()
set(GX_ARTWORK_SRC ${CMAKE_SOURCE_DIR}/tools/artwork)
gx_add_test(gx_artwork_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ArtworkTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ArtworkPartsTest.cpp
  ${GX_ARTWORK_SRC}/ArtCommon.cpp
  ${GX_ARTWORK_SRC}/ArmGeometry.cpp
  ${GX_ARTWORK_SRC}/StrokeFont.cpp)
target_include_directories(gx_artwork_tests PRIVATE ${GX_ARTWORK_SRC})
add_dependencies(gx_artwork_tests gx_make_artwork gx_artwork)

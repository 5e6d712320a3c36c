# The artwork tests read what gx_make_artwork painted into the resource
# folder and run the generator once more to check it repeats.
if(NOT TARGET gx_make_artwork)
  # tools/CMakeLists.txt normally includes the generator; define it here if
  # it has not, so the images the tests need are still made.
  include(${CMAKE_SOURCE_DIR}/tools/artwork.cmake)
endif()
gx_add_test(gx_artwork_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/ArtworkTest.cpp)
add_dependencies(gx_artwork_tests gx_make_artwork gx_artwork)

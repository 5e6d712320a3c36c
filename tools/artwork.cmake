# Our own artwork: gx_make_artwork paints every turntable image, the
# application icon and the themed icons from code at build time.
find_package(Qt6 REQUIRED COMPONENTS Gui)

add_executable(gx_make_artwork
  ${CMAKE_CURRENT_LIST_DIR}/artwork/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/ArtCommon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/ArmGeometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/Background.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/Controls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/Icon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/IconSvg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/Preview.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/Record.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/StrokeFont.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork/ToneArm.cpp)
target_link_libraries(gx_make_artwork PRIVATE Qt6::Gui)
# The turntable's geometry and the resource names are shared with the player.
target_include_directories(gx_make_artwork PRIVATE ${CMAKE_SOURCE_DIR}/src)

# What the generator paints: the images listed in src/platform/ResourceNames.h.
gx_names_from_header(${CMAKE_SOURCE_DIR}/src/platform/ResourceNames.h GX_IMAGE_NAMES)
set(GX_ARTWORK_OUTPUTS)
foreach(img IN LISTS GX_IMAGE_NAMES)
  list(APPEND GX_ARTWORK_OUTPUTS ${GX_RESOURCE_DIR}/${img}.tif ${GX_RESOURCE_DIR}/${img}@2x.tif)
endforeach()
list(APPEND GX_ARTWORK_OUTPUTS ${GX_RESOURCE_DIR}/icon.png)
get_filename_component(GX_ICON_THEME_DIR ${GX_RESOURCE_DIR}/../icons/hicolor ABSOLUTE)
foreach(size 16 24 32 48 64 128 256 512)
  list(APPEND GX_ARTWORK_OUTPUTS ${GX_ICON_THEME_DIR}/${size}x${size}/apps/gramolux.png)
endforeach()
list(APPEND GX_ARTWORK_OUTPUTS ${GX_ICON_THEME_DIR}/scalable/apps/gramolux.svg)

add_custom_command(OUTPUT ${GX_ARTWORK_OUTPUTS}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:gx_make_artwork> ${GX_RESOURCE_DIR}
  DEPENDS gx_make_artwork
  COMMENT "Painting the turntable artwork"
  VERBATIM)
add_custom_target(gx_artwork DEPENDS ${GX_ARTWORK_OUTPUTS})
add_dependencies(gx_generated_resources gx_artwork)

# The menu screens' pictures and their materials, drawn by
# scripts/gen_menupictures.py next to Overlays/MenuPictures.overlay, the GUI's
# mouse cursor (GUI/Tavirelo_GUI.imageset), and the
# display font the menus name; included by mediaDemo/CMakeLists.txt, whose
# STAGE_MEDIA and STAGED_FILES it uses.
set(MENU_PICTURE_GENERATOR ${CMAKE_SOURCE_DIR}/scripts/gen_menupictures.py)
execute_process(COMMAND ${Python3_EXECUTABLE} ${MENU_PICTURE_GENERATOR} --list
  OUTPUT_VARIABLE MENU_PICTURE_FILES
  OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE MENU_PICTURE_LIST_RESULT)
if(NOT MENU_PICTURE_LIST_RESULT EQUAL 0)
  message(FATAL_ERROR "scripts/gen_menupictures.py --list failed")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${MENU_PICTURE_GENERATOR})
set(MENU_PICTURE_MEDIA "")
foreach(file ${MENU_PICTURE_FILES})
  list(APPEND MENU_PICTURE_MEDIA ${STAGE_MEDIA}/Overlays/${file})
endforeach()
list(APPEND MENU_PICTURE_MEDIA ${STAGE_MEDIA}/GUI/tavirelo_cursor.png)
add_custom_command(OUTPUT ${MENU_PICTURE_MEDIA}
  COMMAND ${Python3_EXECUTABLE} ${MENU_PICTURE_GENERATOR} ${STAGE_MEDIA}/Overlays ${STAGE_MEDIA}/GUI
  DEPENDS ${MENU_PICTURE_GENERATOR}
  COMMENT "Drawing the menu screens' pictures"
  VERBATIM)
list(APPEND STAGED_FILES ${MENU_PICTURE_MEDIA})

# "Dewsbury-10" and "Dewsbury-60" (GUI/Dewsbury-*.font) are DejaVu Sans Bold.
set(MENU_FONT /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf)
if(NOT EXISTS ${MENU_FONT})
  message(FATAL_ERROR "${MENU_FONT} is missing (package fonts-dejavu-core, see scripts/setup)")
endif()
add_custom_command(OUTPUT ${STAGE_MEDIA}/GUI/DejaVuSans-Bold.ttf
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${MENU_FONT} ${STAGE_MEDIA}/GUI/DejaVuSans-Bold.ttf
  DEPENDS ${MENU_FONT}
  VERBATIM)
list(APPEND STAGED_FILES ${STAGE_MEDIA}/GUI/DejaVuSans-Bold.ttf)

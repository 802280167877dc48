# The tournament screens' pictures (podium, credits background, award
# pictures) and their materials, drawn by scripts/gen_tournament_pictures.py
# next to Overlays/Tournament.overlay; included by mediaDemo/CMakeLists.txt,
# whose STAGE_MEDIA and STAGED_FILES it uses.
set(TOURNAMENT_PICTURE_GENERATOR ${CMAKE_SOURCE_DIR}/scripts/gen_tournament_pictures.py)
execute_process(COMMAND ${Python3_EXECUTABLE} ${TOURNAMENT_PICTURE_GENERATOR} --list
  OUTPUT_VARIABLE TOURNAMENT_PICTURE_FILES
  OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE TOURNAMENT_PICTURE_LIST_RESULT)
if(NOT TOURNAMENT_PICTURE_LIST_RESULT EQUAL 0)
  message(FATAL_ERROR "scripts/gen_tournament_pictures.py --list failed")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TOURNAMENT_PICTURE_GENERATOR})
set(TOURNAMENT_PICTURE_MEDIA "")
foreach(file ${TOURNAMENT_PICTURE_FILES})
  list(APPEND TOURNAMENT_PICTURE_MEDIA ${STAGE_MEDIA}/Overlays/${file})
endforeach()
add_custom_command(OUTPUT ${TOURNAMENT_PICTURE_MEDIA}
  COMMAND ${Python3_EXECUTABLE} ${TOURNAMENT_PICTURE_GENERATOR} ${STAGE_MEDIA}/Overlays
  DEPENDS ${TOURNAMENT_PICTURE_GENERATOR} ${MENU_PICTURE_GENERATOR}
  COMMENT "Drawing the tournament screens' pictures"
  VERBATIM)
list(APPEND STAGED_FILES ${TOURNAMENT_PICTURE_MEDIA})

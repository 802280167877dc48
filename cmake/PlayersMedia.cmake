# The players' models, skeletons, materials and head pictures, and the award
# objects, written by scripts/gen_players.py from the player and team tables
# and converted with OgreXMLConverter; included by mediaDemo/CMakeLists.txt,
# whose STAGE_MEDIA and STAGED_FILES it uses.
if(NOT OGRE_XML_CONVERTER)
  message(FATAL_ERROR "OgreXMLConverter is needed to build the players (package ogre-1.12-tools)")
endif()
set(PLAYERS_GENERATOR ${CMAKE_SOURCE_DIR}/scripts/gen_players.py)
set(PLAYERS_XML_DIR ${CMAKE_CURRENT_BINARY_DIR}/players_xml)
set(PLAYERS_MEDIA
  ${STAGE_MEDIA}/Models/man.skeleton
  ${STAGE_MEDIA}/Models/woman.skeleton
  ${STAGE_MEDIA}/Models/Players.material
  ${STAGE_MEDIA}/Models/trophy_cup.mesh
  ${STAGE_MEDIA}/Models/medal.mesh
  ${STAGE_MEDIA}/Models/pennant.mesh
  ${STAGE_MEDIA}/Overlays/Heads.material)
foreach(body FG FP HJ HM HF HA)
  foreach(skin CN CS AS AF)
    foreach(model 01 02)
      list(APPEND PLAYERS_MEDIA
        ${STAGE_MEDIA}/Models/${body}_${skin}_${model}.mesh
        ${STAGE_MEDIA}/Overlays/head_${body}_${skin}_${model}.png)
    endforeach()
  endforeach()
endforeach()
add_custom_command(OUTPUT ${PLAYERS_MEDIA}
  COMMAND ${Python3_EXECUTABLE} ${PLAYERS_GENERATOR} ${CMAKE_CURRENT_SOURCE_DIR}/Data
          ${STAGE_MEDIA}/Models ${STAGE_MEDIA}/Overlays
          --converter ${OGRE_XML_CONVERTER} --xml ${PLAYERS_XML_DIR}
  DEPENDS ${PLAYERS_GENERATOR} ${CMAKE_CURRENT_SOURCE_DIR}/Data/Equipes_DB.csv
          ${CMAKE_CURRENT_SOURCE_DIR}/Data/Lang_DB.csv
  COMMENT "Building the players' models and head pictures"
  VERBATIM)
list(APPEND STAGED_FILES ${PLAYERS_MEDIA})

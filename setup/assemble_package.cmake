# Lays out the installation package from a data folder made by make-data,
# the built saver and installer, and the error sound.
#   cmake -DPACKAGE=dir -DDATA=dir -DSAVER=file -DSETUP=file -DMAKE_SOUND=file -DHACK_SETTINGS=file
#         -P assemble_package.cmake
foreach(required PACKAGE DATA SAVER SETUP MAKE_SOUND HACK_SETTINGS)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "assemble_package: ${required} is not set")
  endif()
endforeach()

set(programs OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(REMOVE_RECURSE ${PACKAGE})
file(MAKE_DIRECTORY ${PACKAGE}/Include ${PACKAGE}/Calvorine/Data/Bmp/Objects ${PACKAGE}/Calvorine/Data/Bmp/Overlays)

# The saver ships under its old .dat name; the installer beside it.
file(COPY_FILE ${SAVER} ${PACKAGE}/Calvorine.dat)
file(CHMOD ${PACKAGE}/Calvorine.dat FILE_PERMISSIONS ${programs})
file(COPY ${SETUP} DESTINATION ${PACKAGE} FILE_PERMISSIONS ${programs})
# XScreenSaver's description of the hack, for its settings program.
file(COPY_FILE ${HACK_SETTINGS} ${PACKAGE}/calvorine.xml)

execute_process(COMMAND ${MAKE_SOUND} ${PACKAGE}/Include/Error.wav RESULT_VARIABLE sound_result)
if(NOT sound_result EQUAL 0)
  message(FATAL_ERROR "assemble_package: make-sound failed")
endif()

# The presets. The installer removes the user's default.dat so that the
# saver builds a fresh one: the package's welcome preset goes by a name of
# its own instead.
file(GLOB presets ${DATA}/Calvorine/*.DAT ${DATA}/Calvorine/*.dat)
foreach(preset ${presets})
  get_filename_component(name ${preset} NAME)
  string(TOLOWER ${name} lower)
  if(lower STREQUAL "default.dat")
    file(COPY_FILE ${preset} ${PACKAGE}/Calvorine/Welcome.DAT)
  else()
    file(COPY_FILE ${preset} ${PACKAGE}/Calvorine/${name})
  endif()
endforeach()

file(COPY_FILE ${DATA}/Calvorine/Data/Help.HLP ${PACKAGE}/Calvorine/Data/Help.HLP)
file(COPY_FILE ${DATA}/Calvorine/Data/Bmp/About.bmp ${PACKAGE}/Calvorine/Data/Bmp/About.bmp)
file(COPY_FILE ${DATA}/Calvorine/Data/Bmp/Font.bmp ${PACKAGE}/Calvorine/Data/Bmp/Font.bmp)
file(GLOB objects ${DATA}/Calvorine/Data/Bmp/Objects/*.bmp)
file(COPY ${objects} DESTINATION ${PACKAGE}/Calvorine/Data/Bmp/Objects)
file(GLOB overlays ${DATA}/Calvorine/Data/Bmp/Overlays/*.bmp)
file(COPY ${overlays} DESTINATION ${PACKAGE}/Calvorine/Data/Bmp/Overlays)

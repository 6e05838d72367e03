# SPDX-License-Identifier: GPL-3.0-or-later
# The game's command line, run without a display: --help and --version answer and exit 0,
# anything the game does not take exits 2 with a message on standard error, and Qt's own
# options still reach Qt (the game then starts and runs until it is stopped).
set(clean_env ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
  XDG_RUNTIME_DIR=${RUNTIME} APPDATA=${OUT}/appdata XDG_DATA_HOME=${OUT}/data)
file(MAKE_DIRECTORY ${OUT}/appdata ${OUT}/data)

# Answers: arguments separated by commas, then the text standard output must hold.
foreach(case "--help|Usage: halbeet \\[options\\]" "-h|-v, --version" "--version|^halbeet ${VERSION}\n$"
             "-v|^halbeet ${VERSION}\n$")
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 args)
  list(GET parts 1 expected)
  string(REPLACE "," ";" argv "${args}")
  execute_process(COMMAND ${clean_env} ${GAME} ${argv} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err
    TIMEOUT 20)
  if(NOT rc EQUAL 0 OR NOT out MATCHES "${expected}" OR NOT err STREQUAL "")
    message(FATAL_ERROR "halbeet ${argv}: exit status ${rc}, output:\n${out}\nerrors:\n${err}")
  endif()
endforeach()

# Refusals: arguments separated by commas, then the message expected on standard error.
foreach(case "--bogus|Unknown option 'bogus'" "-x|Unknown option 'x'" "extra|unexpected argument 'extra'"
             "--help=yes|Unexpected value after '--help'" "-platform|Missing value after '-platform'"
             "--version,--bogus|Unknown option 'bogus'")
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 args)
  list(GET parts 1 expected)
  string(REPLACE "," ";" argv "${args}")
  execute_process(COMMAND ${clean_env} ${GAME} ${argv} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err
    TIMEOUT 20)
  if(NOT rc EQUAL 2)
    message(FATAL_ERROR "halbeet ${argv}: exit status ${rc}, expected 2\n${err}")
  endif()
  if(NOT err MATCHES "^halbeet: ${expected}" OR NOT err MATCHES "Try 'halbeet --help'" OR NOT out STREQUAL "")
    message(FATAL_ERROR "halbeet ${argv}: wrong messages.\noutput:\n${out}\nerrors:\n${err}")
  endif()
endforeach()

# Qt's options pass through: the game starts on the offscreen platform and keeps running.
execute_process(COMMAND ${clean_env} ${GAME} -platform offscreen -reverse RESULT_VARIABLE rc
  OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 3)
if(NOT rc MATCHES "timeout")
  message(FATAL_ERROR "halbeet -platform offscreen ended by itself (${rc}):\n${out}\n${err}")
endif()

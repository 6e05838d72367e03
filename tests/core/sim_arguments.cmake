# SPDX-License-Identifier: GPL-3.0-or-later
# Every bad command line must print a message and the usage and exit with 2.
file(MAKE_DIRECTORY ${OUT})
# One case per entry, its arguments separated by commas.
set(cases
  "--deals"
  "--deals,0"
  "--deals,-5"
  "--deals,12x"
  "--seed,4294967296"
  "--seed,abc"
  "--seed,-1"
  "--seed="
  "--trace="
  "--frobnicate"
  "extra"
  "--check=yes"
  "--trace"
  "--games,0"
  "--games,many"
  "--players"
  "--players,classic"
  "--players,classic,expert,classic"
  "--players,classic,expert,classic,expert,classic"
  "--players,classic,Expert,classic,expert"
  "--players,classic,,classic,expert"
  "--players,classic,expert,classic,expert,")
foreach(args IN LISTS cases)
  string(REPLACE "," ";" argv "${args}")
  execute_process(COMMAND ${SIM} ${argv} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 2)
    message(FATAL_ERROR "halbeet-sim ${argv}: exit status ${rc}, expected 2")
  endif()
  if(NOT err MATCHES "halbeet-sim: ")
    message(FATAL_ERROR "halbeet-sim ${argv}: no message on standard error:\n${err}")
  endif()
endforeach()

execute_process(COMMAND ${SIM} --deals 0 RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_QUIET)
if(NOT err MATCHES "Usage: halbeet-sim")
  message(FATAL_ERROR "a bad argument did not print the usage:\n${err}")
endif()
execute_process(COMMAND ${SIM} --help RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out MATCHES "--trace FILE")
  message(FATAL_ERROR "--help: exit status ${rc}, output:\n${out}")
endif()
execute_process(COMMAND ${SIM} --seed=7 --deals=50 --json RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out MATCHES "^{\"seed\":7,\"deals\":50,")
  message(FATAL_ERROR "--json: exit status ${rc}, output:\n${out}")
endif()

# SPDX-License-Identifier: GPL-3.0-or-later
# The arena: Expert seats, a stop after N won games, the same seed giving the same games.
file(MAKE_DIRECTORY ${OUT})
set(players expert,classic,expert,classic)
foreach(run a b)
  execute_process(COMMAND ${SIM} --seed 5 --games 2 --players ${players} --trace ${OUT}/${run}.jsonl --json
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "halbeet-sim --players ${players} run ${run} failed: ${rc}\n${err}")
  endif()
  if(NOT err STREQUAL "")
    message(FATAL_ERROR "with --json nothing but the summary may be printed; standard error had:\n${err}")
  endif()
  if(NOT out MATCHES "\"games\":2,\"gamesWon\":{\"seats13\":[0-2],\"seats24\":[0-2],\"share13\":[0-9.]+,\"interval13\":\\[[0-9.]+,[0-9.]+\\]")
    message(FATAL_ERROR "--games 2 did not stop after two won games, or the summary lacks the interval:\n${out}")
  endif()
  if(NOT out MATCHES "\"players\":\\[\"expert\",\"classic\",\"expert\",\"classic\"\\]" OR NOT out MATCHES "\"expertMs\":{\"cards\":{\"count\":[1-9]")
    message(FATAL_ERROR "the summary does not name the levels or the Expert's times:\n${out}")
  endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/a.jsonl ${OUT}/b.jsonl RESULT_VARIABLE same)
if(NOT same EQUAL 0)
  message(FATAL_ERROR "two arena runs with seed 5 played different games")
endif()

# The text summary names the levels and gives the Experts' decision times.
execute_process(COMMAND ${SIM} --seed 5 --deals 3 --players classic,expert,classic,expert
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out MATCHES "Players: +classic, expert, classic, expert" OR NOT out MATCHES "Expert decisions")
  message(FATAL_ERROR "text summary with Experts: exit status ${rc}, output:\n${out}")
endif()
if(NOT err STREQUAL "")
  message(FATAL_ERROR "a piped run printed progress or other text on standard error:\n${err}")
endif()

# The bookkeeping holds with Expert seats; only the Classic seats are held to the fixed rules.
execute_process(COMMAND ${SIM} --seed 9 --deals 30 --check --players expert,classic,expert,expert
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "--check with Expert seats failed (${rc}):\n${err}")
endif()

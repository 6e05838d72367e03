# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the simulator twice with one seed and once with another, and compares the traces.
file(MAKE_DIRECTORY ${OUT})
set(deals 3000)
foreach(run a b)
  execute_process(COMMAND ${SIM} --seed 42 --deals ${deals} --trace ${OUT}/${run}.jsonl
                  RESULT_VARIABLE rc OUTPUT_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "halbeet-sim run ${run} failed: ${rc}")
  endif()
endforeach()
execute_process(COMMAND ${SIM} --seed 43 --deals ${deals} --trace - RESULT_VARIABLE rc
                OUTPUT_FILE ${OUT}/other.jsonl ERROR_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "halbeet-sim with --trace - failed: ${rc}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/a.jsonl ${OUT}/b.jsonl RESULT_VARIABLE same)
if(NOT same EQUAL 0)
  message(FATAL_ERROR "two runs with seed 42 wrote different traces")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/a.jsonl ${OUT}/other.jsonl RESULT_VARIABLE same)
if(same EQUAL 0)
  message(FATAL_ERROR "seeds 42 and 43 wrote the same trace")
endif()

file(STRINGS ${OUT}/a.jsonl lines)
list(LENGTH lines count)
if(NOT count EQUAL deals)
  message(FATAL_ERROR "expected ${deals} trace lines, found ${count}")
endif()
list(GET lines 0 first)
if(NOT first MATCHES "^{\"deal\":1,\"game\":1,\"dealer\":1,\"trump\":[1-4],\"cut\":\\[[1-4],[0-9]+\\],\"hands\":\\[")
  message(FATAL_ERROR "unexpected first trace line: ${first}")
endif()
file(STRINGS ${OUT}/other.jsonl other)
list(LENGTH other count)
if(NOT count EQUAL deals)
  message(FATAL_ERROR "the trace on standard output has ${count} lines, not ${deals}")
endif()

# A trace that cannot be written: exit status 3 as --help says, at once, not after every deal.
execute_process(COMMAND ${SIM} --seed 1 --deals 10 --trace ${OUT}/no-such-folder/t.jsonl
                RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_QUIET)
if(NOT rc EQUAL 3 OR NOT err MATCHES "halbeet-sim: ")
  message(FATAL_ERROR "an unopenable trace file: exit status ${rc}, expected 3:\n${err}")
endif()
if(EXISTS /dev/full)
  # A hundred million deals would take many minutes; the first failed write must end the run.
  execute_process(COMMAND ${SIM} --seed 1 --deals 100000000 --trace /dev/full
                  RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_QUIET TIMEOUT 30)
  if(NOT rc EQUAL 3 OR NOT err MATCHES "writing the trace")
    message(FATAL_ERROR "a full disk under the trace: exit status ${rc}, expected 3:\n${err}")
  endif()
endif()

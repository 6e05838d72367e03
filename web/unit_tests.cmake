# SPDX-License-Identifier: GPL-3.0-or-later
# The page's unit tests: the messages of a real table first (the trace the replay test reads),
# then the type check and the tests.
# One test plays at the real server of tables, on the loopback address.
#   cmake -DTRACE=protocol_trace -DTRACE_FILE=out.jsonl -DSERVER=halbeet-server -DNODE=node -DWEB=web
#         -P unit_tests.cmake

foreach(var TRACE TRACE_FILE SERVER NODE WEB)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "unit_tests.cmake needs -D${var}=...")
  endif()
endforeach()
if(NOT EXISTS ${WEB}/node_modules/.bin/tsc)
  message(FATAL_ERROR "The page's build tools are not installed: build the halbeet_web_page target first.")
endif()

execute_process(COMMAND ${TRACE} OUTPUT_FILE ${TRACE_FILE} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "protocol_trace failed (${rc})")
endif()
# The page alone (no Node.js names in it), then the tests with it.
foreach(project ${WEB} ${WEB}/test)
  execute_process(COMMAND ${NODE} ${WEB}/node_modules/typescript/bin/tsc --noEmit -p ${project}
    WORKING_DIRECTORY ${WEB} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "tsc --noEmit -p ${project} failed")
  endif()
endforeach()
# Node.js 20 has its WebSocket behind a flag.
execute_process(COMMAND ${CMAKE_COMMAND} -E env HALBEET_PROTOCOL_TRACE=${TRACE_FILE} HALBEET_SERVER=${SERVER}
          NODE_OPTIONS=--experimental-websocket
          ${NODE} ${WEB}/node_modules/vitest/vitest.mjs run --reporter=dot
  WORKING_DIRECTORY ${WEB} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "vitest failed")
endif()

# SPDX-License-Identifier: GPL-3.0-or-later
# The program's layers by what their files include: each layer may use the ones below it and
# nothing above. Run with -DROOT=<source tree> -DLAYERS=<a file that sets halbeet_rules,
# halbeet_classic and halbeet_players to those libraries' files>.
include(${LAYERS})

set(problems "")

# The headers among files, spelled as an #include names them ("core/bids.h"), as one regular
# expression.
function(header_pattern out)
  set(names "")
  foreach(file ${ARGN})
    if(file MATCHES "\\.h$")
      file(RELATIVE_PATH name ${ROOT}/src ${file})
      string(REPLACE "." "\\." name "${name}")
      list(APPEND names "${name}")
    endif()
  endforeach()
  list(JOIN names "|" joined)
  set(${out} "^(${joined})$" PARENT_SCOPE)
endfunction()

# Every #include in files whose name matches pattern is a problem, told with why.
function(forbid pattern why)
  set(found ${problems})
  foreach(file ${files})
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1" name "${line}")
      if(name MATCHES "${pattern}")
        file(RELATIVE_PATH shown ${ROOT} ${file})
        list(APPEND found "${shown} includes ${name}: ${why}")
      endif()
    endforeach()
  endforeach()
  set(problems ${found} PARENT_SCOPE)
endfunction()

header_pattern(classic_headers ${halbeet_classic})
header_pattern(player_headers ${halbeet_players})

set(files ${halbeet_rules} ${halbeet_classic} ${halbeet_players})
forbid("^Q" "the engine knows nothing of Qt")
forbid("^(ui|settings|stats|stats_window|table|app)/" "the engine includes nothing outside core/")

set(files ${halbeet_rules})
forbid("${classic_headers}" "the rules know no player")
forbid("${player_headers}" "the rules know no player")

set(files ${halbeet_classic})
forbid("${player_headers}" "the Classic rules know neither the player interface nor the Expert")

set(files ${halbeet_players})
list(FILTER files INCLUDE REGEX "/core/expert/")
forbid("${classic_headers}" "the Expert decides from its seat's view, not by the Classic rules")

# Everything built on the engine takes its players whole: the Classic internals stay inside.
file(GLOB_RECURSE files
  ${ROOT}/src/app/*.h ${ROOT}/src/app/*.cpp ${ROOT}/src/settings/*.h ${ROOT}/src/settings/*.cpp
  ${ROOT}/src/stats/*.h ${ROOT}/src/stats/*.cpp ${ROOT}/src/stats_window/*.h
  ${ROOT}/src/stats_window/*.cpp ${ROOT}/src/table/*.h ${ROOT}/src/table/*.cpp
  ${ROOT}/src/ui/*.h ${ROOT}/src/ui/*.cpp ${ROOT}/tests/ui/*.h ${ROOT}/tests/ui/*.cpp)
forbid("${classic_headers}" "only the players use the Classic player's own rules")

# The Statistics window is a module of its own; it shares with the game only its seam headers.
file(GLOB files ${ROOT}/src/stats_window/*.h ${ROOT}/src/stats_window/*.cpp)
forbid("^(ui|table|settings|app)/" "the Statistics window's module takes what it needs through its seam")

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "Includes across the layers:\n  ${text}")
endif()

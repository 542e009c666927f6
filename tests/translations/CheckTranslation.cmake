# Fails when the French translation misses a text of the sources or leaves one unfinished:
# lupdate refreshes a copy of the .ts from the sources (a text it has never seen enters as
# unfinished), then every message must carry a finished, non-empty translation.
#   cmake -DLUPDATE=... -DTS=velmora_fr.ts -DSOURCES_LIST=sources.lst -DINCLUDE_DIR=src -DWORK=dir
#         -P CheckTranslation.cmake
file(MAKE_DIRECTORY ${WORK})
get_filename_component(ts_name ${TS} NAME)
set(copy ${WORK}/${ts_name})
file(COPY_FILE ${TS} ${copy})
execute_process(COMMAND ${LUPDATE} -no-obsolete -locations none -I ${INCLUDE_DIR} @${SOURCES_LIST} -ts ${copy}
  RESULT_VARIABLE lupdate_result OUTPUT_VARIABLE lupdate_output ERROR_VARIABLE lupdate_output)
if(NOT lupdate_result EQUAL 0)
  message(FATAL_ERROR "lupdate failed:\n${lupdate_output}")
endif()
# A warning ("tr() cannot be called without context", an unknown class) means a text that
# lands in no context or a wrong one: the translation would never be found.
string(REGEX MATCHALL "[^\n]*:[0-9]+: [^\n]*" lupdate_warnings "${lupdate_output}")
if(lupdate_warnings)
  list(JOIN lupdate_warnings "\n  " warning_lines)
  message(FATAL_ERROR "lupdate warns about the sources:\n  ${warning_lines}")
endif()
message(STATUS "${lupdate_output}")

file(READ ${copy} content)
string(REGEX MATCHALL "<message>" messages "${content}")
list(LENGTH messages message_count)
if(message_count EQUAL 0)
  message(FATAL_ERROR "${ts_name}: no message at all")
endif()
set(problems)
string(REGEX MATCHALL "<source>[^<]*</source>([^<]|<comment>[^<]*</comment>|<extracomment>[^<]*</extracomment>)*<translation type=\"(unfinished|vanished|obsolete)\"" unfinished "${content}")
foreach(entry ${unfinished})
  string(APPEND problems "  not finished: ${entry}\n")
endforeach()
string(REGEX MATCHALL "<source>[^<]*</source>([^<]|<comment>[^<]*</comment>)*<translation( type=\"[a-z]*\")?></translation>" empty "${content}")
foreach(entry ${empty})
  string(APPEND problems "  empty: ${entry}\n")
endforeach()
if(problems)
  message(FATAL_ERROR "${ts_name} is not complete; run `cmake --build build --target update_translations` and translate:\n${problems}")
endif()
message(STATUS "${ts_name}: ${message_count} texts, all translated")

# Writes the header holding the date of the build, rewriting it only when the date changes
# so that a rebuild on the same day recompiles nothing. Honours SOURCE_DATE_EPOCH.
#   cmake -DOUT=<header> -P BuildDate.cmake
string(TIMESTAMP today "%Y-%m-%d")
set(content "#pragma once\n// Generated at build time.\n#define VELMORA_BUILD_DATE \"${today}\"\n")
set(old "")
if(EXISTS "${OUT}")
  file(READ "${OUT}" old)
endif()
if(NOT old STREQUAL content)
  file(WRITE "${OUT}" "${content}")
endif()

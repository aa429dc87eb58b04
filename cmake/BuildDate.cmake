# Writes OUT, a header with the date of the build (UTC, or SOURCE_DATE_EPOCH when set). The
# file is rewritten only when the date changes, so a build on the same day compiles nothing.
string(TIMESTAMP today "%Y-%m-%d" UTC)
set(text "#pragma once\n// Written by cmake/BuildDate.cmake at build time.\n#define CINDRAL_BUILD_DATE \"${today}\"\n")
set(old "")
if(EXISTS ${OUT})
  file(READ ${OUT} old)
endif()
if(NOT old STREQUAL text)
  file(WRITE ${OUT} "${text}")
endif()

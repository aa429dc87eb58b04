# cmake -DREADME=README.md -DTEMPLATE=page.1.in -DOUT=page.1 -DVERSION=v -DDATADIR=d
#       -DDOCDIR=d -P ManPage.cmake
# Writes a man page from its template, with README.md's "Command line" block as @SYNOPSIS@,
# so the page's synopsis is the contract itself, never a copy that drifts.
file(READ ${README} readme)
string(FIND "${readme}" "## Command line\n\n```\n" start)
if(start EQUAL -1)
  message(FATAL_ERROR "${README} has no \"## Command line\" block")
endif()
string(LENGTH "## Command line\n\n```\n" skip)
math(EXPR start "${start} + ${skip}")
string(SUBSTRING "${readme}" ${start} -1 rest)
string(FIND "${rest}" "\n```" end)
string(SUBSTRING "${rest}" 0 ${end} block)
# roff: a backslash is \e, a hyphen \-, and a line may not start with a control character.
string(REPLACE "\\" "\\e" block "${block}")
string(REPLACE "-" "\\-" block "${block}")
string(REPLACE "\n." "\n\\&." block "${block}")
string(REPLACE "\n'" "\n\\&'" block "${block}")
set(SYNOPSIS "${block}")
# The day of the source, not of the build, so two builds of one tree make the same page.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
  file(TIMESTAMP ${TEMPLATE} epoch "%s" UTC)
endif()
set(ENV{SOURCE_DATE_EPOCH} ${epoch})
string(TIMESTAMP DATE "%Y-%m-%d" UTC)
configure_file(${TEMPLATE} ${OUT} @ONLY)

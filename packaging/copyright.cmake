# The machine-readable copyright file, written from LICENSE so the two never
# differ: the MIT licence is the one Debian calls Expat.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
if(NOT license MATCHES "Copyright \\(c\\) ([^\n]+)\n")
  message(FATAL_ERROR "LICENSE has no \"Copyright (c) ...\" line")
endif()
set(holder "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^.*Copyright \\(c\\) [^\n]+\n" "" body "${license}")
string(STRIP "${body}" body)
string(REPLACE "\n\n" "\n.\n" body "${body}")
string(REPLACE "\n" "\n " body " ${body}")
set(source "")
if(TESSEVAR_HOMEPAGE)
  set(source "Source: ${TESSEVAR_HOMEPAGE}\n")
endif()
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: tessevar
${source}
Files: *
Copyright: ${holder}
License: Expat
${body}
")

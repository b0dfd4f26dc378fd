# Runs at build time (cmake -P): writes the installed copy of one public
# header. The library's sources include each other by names rooted at the
# source tree ("datafile/LocationData.h"); the installed copy names them under
# metdb/ ("metdb/datafile/LocationData.h"), so that a host needs only
# PREFIX/include on its include path and never sees the library's own folders
# (platform/, module/, ...) as top-level names. Nothing else of the header
# changes.
# Expects INPUT (the source header) and OUTPUT (its installed copy in the
# build tree).
if(NOT DEFINED INPUT OR NOT DEFINED OUTPUT)
  message(FATAL_ERROR "usage: cmake -DINPUT=header -DOUTPUT=copy -P MetdbPublicHeader.cmake")
endif()
file(READ "${INPUT}" text)
string(REGEX REPLACE
  "(#[ \t]*include[ \t]*[\"<])(platform|common|directory|datafile|selection|module)/"
  "\\1metdb/\\2/" text "${text}")
file(WRITE "${OUTPUT}" "${text}")

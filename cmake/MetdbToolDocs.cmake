# Writes the metdb tool's manual pages (gzipped, as distributions ship them)
# and its bash completion script by running the tool itself, so that they
# say what the tool parses. Run after each link of the tool:
#   cmake -DTOOL=path/to/metdb -DMAN_DIR=dir -DCOMPLETION=file -P MetdbToolDocs.cmake
# The man folder is emptied first, so that a command that is gone leaves no
# page behind.
foreach(var TOOL MAN_DIR COMPLETION)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "MetdbToolDocs.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${MAN_DIR})
file(MAKE_DIRECTORY ${MAN_DIR})
get_filename_component(completion_dir ${COMPLETION} DIRECTORY)
file(MAKE_DIRECTORY ${completion_dir})
# Each option writes its files and ends the run, hence two runs.
execute_process(COMMAND ${TOOL} --write-man-pages ${MAN_DIR} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${TOOL} --write-man-pages ${MAN_DIR} failed (${status})")
endif()
execute_process(COMMAND ${TOOL} --write-bash-completion ${COMPLETION} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${TOOL} --write-bash-completion ${COMPLETION} failed (${status})")
endif()
file(GLOB pages ${MAN_DIR}/*.1)
if(NOT pages)
  message(FATAL_ERROR "${TOOL} wrote no manual page into ${MAN_DIR}")
endif()
# -n: no name or time stamp in the archive, so that the pages are the same
# bytes on every build.
execute_process(COMMAND gzip -9nf ${pages} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip of the manual pages failed (${status})")
endif()

# A compiler's command line as a user meets it: help on stdout with exit 0,
# anything not understood on stderr with exit 2, a bad source with exit 1.
# Cases: rc|stream|expected text|arguments separated by commas.
# cmake -DTOOL=... -DNAME=ddtc|sfmc -DWORK=dir -DHUGE=source.json -P cli.cmake
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/empty.json "{}")
file(WRITE ${WORK}/overflow.json "{\"records\": [], \"trailer\": 6e535}")
set(cases
  "0|out|usage: ${NAME} build|--help"
  "0|out|usage: ${NAME} build|build,--help"
  "2|err|usage: ${NAME} build|"
  "2|err|unknown command \"frob\"|frob,x"
  "2|err|build needs -o FILE|build,${WORK}/empty.json"
  "2|err|-o needs a file name|dump,x,-o"
  "2|err|unknown option \"--bogus\"|dump,x,--bogus"
  "2|err|one input file only|dump,x,y"
  "1|err|number overflow|build,${WORK}/overflow.json,-o,${WORK}/overflow.out")
if(NAME STREQUAL "ddtc")
  # A hundred bytes claiming a 4 GB symbology table: refused before anything is allocated.
  list(APPEND cases "1|err|larger than 1048576 bytes|build,${HUGE},-o,${WORK}/huge.ddt")
endif()
foreach(c ${cases})
  string(REPLACE "|" ";" parts "${c}")
  list(GET parts 0 want_rc)
  list(GET parts 1 stream)
  list(GET parts 2 want)
  set(args "")
  list(LENGTH parts n)
  if(n GREATER 3)
    list(GET parts 3 args)
    string(REPLACE "," ";" args "${args}")
  endif()
  execute_process(COMMAND ${TOOL} ${args} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(FIND "${${stream}}" "${want}" at)
  if(NOT rc STREQUAL want_rc OR at EQUAL -1)
    message(FATAL_ERROR "${NAME} ${args}: rc ${rc} (want ${want_rc}), ${stream} lacks \"${want}\"\nstdout: ${out}\nstderr: ${err}")
  endif()
endforeach()
message(STATUS "${NAME}: command lines as documented")

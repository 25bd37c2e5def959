# Runs widl (cmake -P) and passes its output on, except the warnings it always gives about the
# system type library that every IDL imports. Variables: WIDL, IDL, HEADER, IDENTIFIERS, TYPELIB,
# INCLUDE_DIR, LIBRARY_DIR.
execute_process(
  COMMAND ${WIDL} -m64 -I${INCLUDE_DIR} -L${LIBRARY_DIR}
          -h -H ${HEADER} -u -U ${IDENTIFIERS} -t -T ${TYPELIB} ${IDL}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE errors)
string(REGEX REPLACE "warning: duplicate uuid {000204[0-9a-f][0-9a-f]-0000-0000-c000-000000000046}\n" "" errors "${errors}")
if(output)
  message("${output}")
endif()
if(errors)
  message("${errors}")
endif()
if(NOT result EQUAL 0)
  message(FATAL_ERROR "widl failed on ${IDL}")
endif()

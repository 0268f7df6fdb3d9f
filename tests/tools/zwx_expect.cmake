# Included by the scripts that run the zwx program (ZWX, under EMULATOR, in WORK).
# zwx ARGS... must exit with expected; its stdout lands in zwx_out, its stderr
# in zwx_err.
string(REPLACE "|" ";" emulator "${EMULATOR}")

function(expect_zwx expected)
  execute_process(COMMAND ${emulator} "${ZWX}" ${ARGN} WORKING_DIRECTORY "${WORK}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status STREQUAL "${expected}")
    message(FATAL_ERROR "zwx ${ARGN}: exit ${status}, expected ${expected}\n${out}\n${err}")
  endif()
  set(zwx_out "${out}" PARENT_SCOPE)
  set(zwx_err "${err}" PARENT_SCOPE)
endfunction()

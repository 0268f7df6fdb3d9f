# Runs the zwx program on files: exit statuses, and a compile-dump-compile
# round trip. cmake -DZWX=program -DEMULATOR=a|b -DWORK=folder -P zwx_program.cmake
string(REPLACE "|" ";" emulator "${EMULATOR}")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# zwx ARGS... must exit with expected; its stdout lands in zwx_out.
function(expect_zwx expected)
  execute_process(COMMAND ${emulator} "${ZWX}" ${ARGN} WORKING_DIRECTORY "${WORK}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status STREQUAL "${expected}")
    message(FATAL_ERROR "zwx ${ARGN}: exit ${status}, expected ${expected}\n${out}\n${err}")
  endif()
  set(zwx_out "${out}" PARENT_SCOPE)
endfunction()

file(WRITE "${WORK}/messages.src" "# messages\n[QORBA_ErrMsg]\nERMSG_00=Papier coincé\n"
     "ERMSG_01=\\s€ 100\\t\\x81\\n\nERMSG_XX=Erreur\n\n[Empty]\n[Other]\nk\\x3D=v=w\n")
expect_zwx(0 compile messages.src -o ZEDWIC_D.ZWX)
expect_zwx(0 dump ZEDWIC_D.ZWX)
file(WRITE "${WORK}/dumped.src" "${zwx_out}")
expect_zwx(0 compile dumped.src -o again.zwx --codepage 1252)
file(SHA256 "${WORK}/ZEDWIC_D.ZWX" first)
file(SHA256 "${WORK}/again.zwx" second)
if(NOT first STREQUAL second)
  message(FATAL_ERROR "compile of the dump differs from the first compile:\n${zwx_out}")
endif()

expect_zwx(0 check ZEDWIC_D.ZWX)
if(NOT zwx_out MATCHES "code  0: \"Papier coinc")
  message(FATAL_ERROR "check does not show code 0:\n${zwx_out}")
endif()
file(WRITE "${WORK}/nofallback.src" "[QORBA_ErrMsg]\nERMSG_00=x\n")
expect_zwx(0 compile nofallback.src -o nofallback.zwx)
expect_zwx(1 check nofallback.zwx)
file(WRITE "${WORK}/bad.src" "[QORBA_ErrMsg]\nERMSG_00=あ\n")
expect_zwx(1 compile bad.src -o ZEDWIC_D.ZWX)
file(SHA256 "${WORK}/ZEDWIC_D.ZWX" after)
if(NOT after STREQUAL first)
  message(FATAL_ERROR "a failed compile changed its output file")
endif()
expect_zwx(2)
expect_zwx(2 dump missing.zwx)
expect_zwx(2 check ZEDWIC_D.ZWX --codepage 1200)

# The PO round trip with gettext's own tools: zwx exports a template, msginit
# starts a translation, it is translated by editing the file, msgcat rewraps
# it, msgfmt checks it and msgunfmt writes it again; zwx compiles it for code
# page 932 and checks and compares the result.
# cmake -DZWX=program -DEMULATOR=a|b -DWORK=folder -DMSGINIT=.. -DMSGCAT=..
#       -DMSGFMT=.. -DMSGUNFMT=.. -P zwx_po.cmake
foreach(tool MSGINIT MSGCAT MSGFMT MSGUNFMT)
  if(NOT ${tool})
    message(FATAL_ERROR "${tool} not found: install Debian's gettext package")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

include(${CMAKE_CURRENT_LIST_DIR}/zwx_expect.cmake)

function(gettext_tool)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE status
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status STREQUAL "0")
    message(FATAL_ERROR "${ARGN}: exit ${status}\n${out}\n${err}")
  endif()
endfunction()

function(expect_match text pattern what)
  if(NOT text MATCHES "${pattern}")
    message(FATAL_ERROR "${what}: no \"${pattern}\" in\n${text}")
  endif()
endfunction()

# The reference catalogue, in code page 1252.
file(WRITE "${WORK}/en.src" [=[
#codepage 1252
[QORBA_ErrMsg]
ERMSG_00=Paper jam
ERMSG_01=Cover open:\nclose the "front" cover\tnow
ERMSG_02=Out of paper
ERMSG_03=See C:\\Drivers
ERMSG_XX=Unknown error (5 €)
]=])
expect_zwx(0 compile en.src -o en.zwx)
expect_zwx(0 export-po en.zwx -o messages.pot)
gettext_tool(${MSGFMT} -c -o messages.mo messages.pot)
gettext_tool(${MSGINIT} -i messages.pot -l ja_JP.UTF-8 --no-translator -o ja-init.po)

# A translator's edits: three texts, one guess marked fuzzy, one left
# untranslated, a comment of their own and an obsolete entry.
file(READ "${WORK}/ja-init.po" po)
foreach(pair
    [=[msgid "Paper jam"
msgstr ""|msgid "Paper jam"
msgstr "紙詰まりです"]=]
    [=["close the \"front\" cover\tnow"
msgstr ""|"close the \"front\" cover\tnow"
msgstr ""
"カバーが開いています:\n"
"「前」カバーを\t閉じてください"]=]
    [=[msgctxt "ERMSG_02"
msgid "Out of paper"
msgstr ""|# 訳に自信がありません
#, fuzzy
msgctxt "ERMSG_02"
msgid "Out of paper"
msgstr "用紙切れ"]=]
    [=[msgid "Unknown error (5 €)"
msgstr ""|msgid "Unknown error (5 €)"
msgstr "不明なエラーです (5)。長い訳文は msgcat が何行にも折り返します。"]=])
  string(FIND "${pair}" "|" bar)
  string(SUBSTRING "${pair}" 0 ${bar} from)
  math(EXPR bar "${bar} + 1")
  string(SUBSTRING "${pair}" ${bar} -1 to)
  string(FIND "${po}" "${from}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "msginit's file has no\n${from}\n${po}")
  endif()
  string(REPLACE "${from}" "${to}" po "${po}")
endforeach()
file(WRITE "${WORK}/ja-edit.po" "${po}\n#~ msgctxt \"ERMSG_15\"\n#~ msgid \"Old\"\n#~ msgstr \"古い\"\n")
gettext_tool(${MSGCAT} --width=24 -o ja.po ja-edit.po)
file(READ "${WORK}/ja.po" po)
expect_match("${po}" "msgstr \"\"\n\"不明な" "msgcat's wrapping")
gettext_tool(${MSGFMT} -c -o ja.mo ja.po)
gettext_tool(${MSGUNFMT} -o ja-unfmt.po ja.mo)

# msginit wrote "Language: ja": without --codepage, its ANSI code page 932.
expect_zwx(0 compile-po ja.po -o ja.zwx)
expect_match("${zwx_err}" "zwx: note: ja.po: Language ja: texts in code page 932" "compile-po")
expect_match("${zwx_err}" "ja.po:[0-9]+: warning: ERMSG_02 is fuzzy: its reference text \\(msgid\\) is used" "compile-po")
expect_match("${zwx_err}" "ja.po:[0-9]+: warning: ERMSG_03 is untranslated: its reference text \\(msgid\\) is used" "compile-po")
expect_zwx(0 compile-po ja.po --codepage 932 -o ja-932.zwx)
file(SHA256 "${WORK}/ja.zwx" from_language)
file(SHA256 "${WORK}/ja-932.zwx" from_option)
if(NOT from_language STREQUAL from_option)
  message(FATAL_ERROR "compile-po by Language and by --codepage 932 differ")
endif()
expect_zwx(0 check ja.zwx)
expect_match("${zwx_out}" "texts in code page 932" "check")
expect_match("${zwx_out}" "code  0: \"紙詰まりです\"\n" "check")
expect_match("${zwx_out}" "code  1: \"カバーが開いています:\\\\n「前」カバーを\\\\t閉じてください\"\n" "check")
expect_match("${zwx_out}" "code  2: \"Out of paper\"\n" "a fuzzy entry shows its msgid")
expect_match("${zwx_out}" "code  3: \"See C:\\\\\\\\Drivers\"\n" "an untranslated entry shows its msgid")
set(ja_check "${zwx_out}")
expect_zwx(0 dump ja.zwx)
expect_match("${zwx_out}" "\n#codepage 932\n" "dump")

# msgunfmt's file gives the same texts (its order is msgfmt's).
expect_zwx(0 compile-po ja-unfmt.po --codepage 932 -o ja-unfmt.zwx)
expect_zwx(0 check ja-unfmt.zwx)
# msgfmt leaves out fuzzy and untranslated entries; the rest is alike.
string(REPLACE "ja-unfmt.zwx" "ja.zwx" unfmt_check "${zwx_out}")
string(REGEX REPLACE "code  [23]: [^\n]*\n" "" unfmt_check "${unfmt_check}")
string(REGEX REPLACE "code  [23]: [^\n]*\n" "" ja_check "${ja_check}")
if(NOT unfmt_check STREQUAL ja_check)
  message(FATAL_ERROR "msgunfmt's file loads other texts:\n${unfmt_check}\n${ja_check}")
endif()

expect_zwx(1 compare-po en.zwx ja.po)
expect_match("${zwx_out}" "ja.po:[0-9]+: fuzzy: ERMSG_02 \\(code 2\\), the reference text is used" "compare-po")
expect_match("${zwx_out}" "ja.po:[0-9]+: untranslated: ERMSG_03 \\(code 3\\)" "compare-po")
expect_match("${zwx_out}" "ja.po: 3 of 5 translated, 2 to look at" "compare-po")
expect_zwx(1 compare-po messages.pot ja-unfmt.po)
expect_match("${zwx_out}" "ja-unfmt.po: missing: ERMSG_02" "compare-po against the template")

# Release builds: what compile-po only warns about stops it.
expect_zwx(1 compile-po ja.po --codepage 932 -o strict.zwx --check)
if(EXISTS "${WORK}/strict.zwx")
  message(FATAL_ERROR "compile-po --check wrote its output")
endif()
# Every character is checked against the code page.
expect_zwx(1 compile-po ja.po --codepage 1252 -o ja1252.zwx)
expect_match("${zwx_err}" "ja.po:[0-9]+: in the translation of ERMSG_00: \"紙\" \\(U\\+7D19\\) has no mapping in code page 1252" "compile-po for 1252")

# Back out of the data file: a translation, whose code page travels in the
# PO header, compiles to the very same file.
expect_zwx(0 export-po en.zwx --translation ja.zwx -o ja-back.po)
gettext_tool(${MSGFMT} -c -o ja-back.mo ja-back.po)
expect_zwx(0 compile-po ja-back.po -o ja-back.zwx)
file(SHA256 "${WORK}/ja.zwx" one)
file(SHA256 "${WORK}/ja-back.zwx" two)
if(NOT one STREQUAL two)
  message(FATAL_ERROR "export-po --translation and compile-po give another file")
endif()

# A UTF-8 byte-order mark: msgfmt refuses the file, and zwx as well.
string(ASCII 239 187 191 bom)
file(READ "${WORK}/ja.po" po)
file(WRITE "${WORK}/ja-bom.po" "${bom}${po}")
execute_process(COMMAND ${MSGFMT} -c -o ja-bom.mo ja-bom.po WORKING_DIRECTORY "${WORK}"
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
if(status STREQUAL "0")
  message(FATAL_ERROR "msgfmt took a PO file with a byte-order mark")
endif()
expect_zwx(1 compile-po ja-bom.po -o ja-bom.zwx)
expect_match("${zwx_err}" "ja-bom.po:1: the file starts with a UTF-8 byte-order mark" "a BOM")

# msgfmt --check and compile-po --check refuse the same files: a translation
# that does not begin or end with a newline where its msgid does, and a file
# without a header entry; both name the msgstr's line, below comments.
set(header "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n")
set(fallback "\nmsgctxt \"ERMSG_XX\"\nmsgid \"Unknown error\"\nmsgstr \"Unbekannter Fehler\"\n")
foreach(case "ok|${header}#. code 0\nmsgctxt \"ERMSG_00\"\nmsgid \"\\nPaper jam\\n\"\nmsgstr \"\\nPapierstau\\n\"\n"
             "begin|${header}#. code 0\n#: en.src\nmsgctxt \"ERMSG_00\"\nmsgid \"\\nPaper jam\"\nmsgstr \"Papierstau\"\n"
             "end|${header}# a translator's comment\nmsgctxt \"ERMSG_00\"\nmsgid \"Paper jam\"\nmsgstr \"\"\n\"Papierstau\\n\"\n"
             "headless|msgctxt \"ERMSG_00\"\nmsgid \"Paper jam\"\nmsgstr \"Papierstau\"\n")
  string(FIND "${case}" "|" bar)
  string(SUBSTRING "${case}" 0 ${bar} name)
  math(EXPR bar "${bar} + 1")
  string(SUBSTRING "${case}" ${bar} -1 text)
  file(WRITE "${WORK}/check-${name}.po" "${text}${fallback}")
  execute_process(COMMAND ${MSGFMT} -c -o check-${name}.mo check-${name}.po
                  WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE status OUTPUT_QUIET
                  ERROR_VARIABLE msgfmt_err)
  if(name STREQUAL "ok")
    if(NOT status STREQUAL "0")
      message(FATAL_ERROR "msgfmt -c refused check-ok.po\n${msgfmt_err}")
    endif()
    expect_zwx(0 compile-po --check check-${name}.po -o check-${name}.zwx)
    continue()
  endif()
  if(status STREQUAL "0")
    message(FATAL_ERROR "msgfmt -c took check-${name}.po")
  endif()
  expect_zwx(1 compile-po --check check-${name}.po -o check-${name}.zwx)
  if(EXISTS "${WORK}/check-${name}.zwx")
    message(FATAL_ERROR "compile-po --check wrote check-${name}.zwx")
  endif()
  if(name STREQUAL "headless")
    expect_match("${zwx_err}" "check-headless.po: error: the file has no header entry" "no header")
  else()
    string(REGEX MATCH "check-${name}\\.po:[0-9]+: 'msgid' and 'msgstr' entries do not both ${name} with '\\\\n'"
           msgfmt_line "${msgfmt_err}")
    string(REGEX MATCH "^check-${name}\\.po:[0-9]+:" position "${msgfmt_line}")
    if(position STREQUAL "")
      message(FATAL_ERROR "msgfmt -c says no '\\n' mismatch\n${msgfmt_err}")
    endif()
    expect_match("${zwx_err}" "${position} error: ERMSG_00: 'msgid' and 'msgstr' entries do not both ${name} with '\\\\n'"
                 "the '\\n' at the ${name}")
  endif()
endforeach()

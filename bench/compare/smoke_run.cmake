# Runs vexa_compare once, one round, over a made-up corpus of 300 KB a
# language, and checks that it succeeds and prints the table of each
# language with every row and the ratios (the program itself stops when the
# Vexa paths disagree on the words). Timings are never checked. Then checks
# that bad command lines are refused with the usage.
#   cmake -DCOMPARE=... -DSAMPLE_CORPUS=... -DWORK_DIR=... -P smoke_run.cmake
foreach(variable COMPARE SAMPLE_CORPUS WORK_DIR)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "smoke_run.cmake needs -D${variable}=...")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${SAMPLE_CORPUS}" "${WORK_DIR}/corpus" 300000 RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "writing the sample corpus failed: ${status}")
endif()

execute_process(COMMAND "${COMPARE}" --rounds 1 "${WORK_DIR}/corpus"
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "vexa_compare failed (${status}): ${errors}")
endif()

set(expected
  "machine: "
  "English: .*english.txt, [1-9][0-9]* documents"
  "Russian \\(Windows-1251\\): .*russian-1251.txt, [1-9][0-9]* documents"
  "median of 1 round +MB/s +Mwords/s +words/pass +ms/pass"
  "Vexa, Parser_AddBlob +[0-9.]+ +[0-9.]+ +[1-9][0-9]* "
  "Vexa, Parser_Add +[0-9.]+ +[0-9.]+ +[1-9][0-9]* "
  "Vexa, AddBlob, no Next +[0-9.]+ +- +0 "
  "Vexa, AddBlob, no lists +[0-9.]+ +[0-9.]+ +[1-9][0-9]* "
  "Vexa, UDR fetch path +[0-9.]+ +[0-9.]+ +[1-9][0-9]* "
  "FTS5 ascii +[0-9.]+ +[0-9.]+ +[1-9][0-9]* "
  "FTS5 unicode61 \\(UTF-8\\) +[0-9.]+ +[0-9.]+ +[1-9][0-9]* "
  "bare run scan +[0-9.]+ +[0-9.]+ +[1-9][0-9]* "
  "Vexa/FTS5-ascii [0-9.]+x +Vexa/bare-scan [0-9.]+x"
  "Vexa-UDR/FTS5-ascii [0-9.]+x +Vexa-UDR/Vexa [0-9.]+x"
  "load average after: ")
foreach(pattern IN LISTS expected)
  if(NOT output MATCHES "${pattern}")
    message(FATAL_ERROR "the output lacks a line matching '${pattern}'")
  endif()
endforeach()
string(REGEX MATCHALL "Vexa/FTS5-ascii" ratio_lines "${output}")
list(LENGTH ratio_lines ratio_count)
if(NOT ratio_count EQUAL 2)
  message(FATAL_ERROR "expected the ratios of 2 languages, found ${ratio_count}")
endif()

# Arguments separated by '|'; "-" stands for none at all.
foreach(bad_line IN ITEMS "-" "--rounds|0|dir" "--rounds=1001|dir" "dir|--rounds" "--rounds|x|dir" "--fast|dir" "a|b")
  if(bad_line STREQUAL "-")
    set(arguments "")
  else()
    string(REPLACE "|" ";" arguments "${bad_line}")
  endif()
  execute_process(COMMAND "${COMPARE}" ${arguments} RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
  if(NOT status EQUAL 2 OR NOT errors MATCHES "usage: vexa_compare")
    message(FATAL_ERROR "vexa_compare ${bad_line}: expected status 2 and the usage, got ${status}: ${errors}")
  endif()
endforeach()

# Checks that the module defines exactly the nine exports in its dynamic
# symbol table, nothing more and nothing less; or, for a filter plug-in,
# exactly the names given in EXPECTED.
#   cmake -DNM=<nm> -DMODULE=<Vexa.so> [-DEXPECTED=ProcessWord] -P check_exports.cmake
if(DEFINED EXPECTED)
  set(expected ${EXPECTED})
else()
  set(expected
    Parser_Add Parser_AddBlob Parser_CRC Parser_Create Parser_CreateQuery
    Parser_Free Parser_Next Parser_Reset StrSoundEX)
endif()

execute_process(
  COMMAND ${NM} -D --defined-only ${MODULE}
  OUTPUT_VARIABLE listing
  ERROR_VARIABLE errors
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${MODULE}: ${errors}")
endif()

# Lines read "<address> <type> <name>"; the name may carry a version (@...).
set(defined)
string(REPLACE "\n" ";" lines "${listing}")
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-fA-F]* *[A-Za-z] ([^ @]+)")
    list(APPEND defined "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(SORT defined)
list(SORT expected)

if(NOT defined STREQUAL expected)
  set(extra ${defined})
  list(REMOVE_ITEM extra ${expected})
  set(missing ${expected})
  if(defined)
    list(REMOVE_ITEM missing ${defined})
  endif()
  message(FATAL_ERROR "exports of ${MODULE} differ\n  missing: ${missing}\n  not expected: ${extra}\n  listing:\n${listing}")
endif()
message(STATUS "${MODULE} exports exactly: ${expected}")

# Checks a built Vexa.dll from its PE tables, without running it:
#   - it exports exactly the nine functions, under their plain names;
#   - it imports only DLLs that every Windows has (no MinGW runtime DLL);
#   - on i686, the export table's names carry no stdcall decoration.
#
#   cmake -DOBJDUMP=... -DDLL=Vexa.dll -P check_windows_dll.cmake
#
# EXPORTS (a ;-list, sorted) names other exports to expect, for the UDR
# module: -DEXPORTS=firebird_udr_plugin.
cmake_minimum_required(VERSION 3.20)
if(DEFINED EXPORTS)
  set(expected_exports ${EXPORTS})
else()
  set(expected_exports Parser_Add Parser_AddBlob Parser_CRC Parser_Create Parser_CreateQuery
      Parser_Free Parser_Next Parser_Reset StrSoundEX)
endif()
set(system_dlls KERNEL32.dll USER32.dll msvcrt.dll)

execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE tables RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed")
endif()

# Export names: the lines "[   n] Name" that follow the heading of the name
# pointer table, up to the first blank line.
string(REPLACE ";" "," tables "${tables}")
string(REPLACE "\n" ";" lines "${tables}")
set(exports "")
set(in_table FALSE)
foreach(line IN LISTS lines)
  if(line MATCHES "\\[Ordinal/Name Pointer\\] Table")
    set(in_table TRUE)
  elseif(in_table AND line MATCHES "^[ \t]*\\[ *[0-9]+\\] (.+)$")
    list(APPEND exports "${CMAKE_MATCH_1}")
  elseif(in_table)
    set(in_table FALSE)
  endif()
endforeach()
list(SORT exports)
if(NOT exports STREQUAL expected_exports)
  message(FATAL_ERROR "${DLL} exports [${exports}], expected [${expected_exports}]")
endif()

set(import_lines "")
foreach(line IN LISTS lines)
  if(line MATCHES "DLL Name: (.+)$")
    list(APPEND import_lines "${CMAKE_MATCH_1}")
  endif()
endforeach()
if(import_lines STREQUAL "")
  message(FATAL_ERROR "${DLL}: no import table found")
endif()
foreach(line IN LISTS import_lines)
  set(dll_name "${line}")
  if(NOT dll_name IN_LIST system_dlls)
    message(FATAL_ERROR "${DLL} imports ${dll_name}, which is not a system DLL")
  endif()
endforeach()
message(STATUS "${DLL}: exports ${expected_exports}; imports only ${system_dlls}")

# Unit tests of the library's pieces, in process. The system-specific half
# of a test is its _posix or _win32 file.
if(WIN32)
  set(unit_system win32)
else()
  set(unit_system posix)
endif()

add_executable(vexa_unit_tests
  ${CMAKE_CURRENT_LIST_DIR}/config/config_file_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config/configuration_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config/prefix_filter_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config/slot_modulo_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config/unreadable_file_${unit_system}.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config/word_hash_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config/word_list_file_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config/word_lookup_table_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config/word_set_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame/blob_reader_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame/udr_rows_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/parser/crc1632_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/parser/parser_differential_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/parser/parser_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/parser/run_scanner_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/parser/token_list_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/parser/word_stream_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/phonetic/sound_code_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/ansi_case_test.cpp
  # The upper-casing against the system's own Unicode tables: iconv and
  # the C library's on POSIX, Win32's on Windows.
  ${CMAKE_CURRENT_LIST_DIR}/platform/ansi_case_${unit_system}_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/support/module_layout_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/support/windows1251_utf8_test.cpp
)
target_link_libraries(vexa_unit_tests PRIVATE vexa_core vexa_udr_rows vexa_host vexa_support ${VEXA_GTEST_MAIN})
vexa_discover_tests(vexa_unit_tests TEST_PREFIX "unit." DISCOVERY_TIMEOUT 60)

# The index engine over storage kept in memory.
add_executable(vexa_index_tests
  ${CMAKE_CURRENT_LIST_DIR}/index/coding_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/index/memory_database.cpp
  ${CMAKE_CURRENT_LIST_DIR}/index/model_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/index/query_plan_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/index/reference_search.cpp
  ${CMAKE_CURRENT_LIST_DIR}/index/segment_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/index/snippet_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/index/test_analyzers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/index/visibility_test.cpp
)
target_link_libraries(vexa_index_tests PRIVATE vexa_index vexa_support ${VEXA_GTEST_MAIN})
vexa_discover_tests(vexa_index_tests TEST_PREFIX "index." DISCOVERY_TIMEOUT 60)

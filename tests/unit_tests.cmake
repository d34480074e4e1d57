# Unit tests of the library's pieces, in process.
find_package(GTest REQUIRED)
include(GoogleTest)

add_executable(vexa_unit_tests
  ${CMAKE_CURRENT_LIST_DIR}/config/config_file_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config/configuration_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config/prefix_filter_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config/slot_modulo_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config/word_hash_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config/word_list_file_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config/word_lookup_table_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config/word_set_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame/blob_reader_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/parser/crc1632_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/parser/parser_differential_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/parser/parser_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/parser/run_scanner_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/parser/token_list_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/parser/word_stream_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/phonetic/sound_code_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform/ansi_case_test.cpp
)
target_link_libraries(vexa_unit_tests PRIVATE vexa_core vexa_host GTest::gtest_main)
gtest_discover_tests(vexa_unit_tests TEST_PREFIX "unit." DISCOVERY_TIMEOUT 60)

# Installs the build into STAGE twice (DESTDIR) and checks the result; see
# CMakeLists.txt. Fails with the first difference found.
function(install_into_stage)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE}
                          ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed:\n${output}")
  endif()
endfunction()

function(expect_same_file installed original)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${installed}" "${original}" RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${installed} is not a copy of ${original}")
  endif()
endfunction()

# The directories the build was configured with.
load_cache("${BUILD_DIR}" READ_WITH_PREFIX "" VEXA_INSTALL_UDF_DIR VEXA_INSTALL_SQL_DIR VEXA_INSTALL_SAMPLE_DIR)
foreach(directory IN ITEMS UDF SQL SAMPLE)
  set(${directory}_DIR "${VEXA_INSTALL_${directory}_DIR}")
  if(NOT IS_ABSOLUTE "${${directory}_DIR}")
    set(${directory}_DIR "/usr/${${directory}_DIR}")
  endif()
endforeach()
set(udf "${STAGE}${UDF_DIR}")
file(REMOVE_RECURSE "${STAGE}")
install_into_stage()

expect_same_file("${udf}/${MODULE_FILE}" "${BUILD_DIR}/${MODULE_FILE}")
foreach(name IN ITEMS Vexa.ini Vexa_skip.lst Vexa_tkn.lst)
  expect_same_file("${udf}/${name}" "${SOURCE_DIR}/conf/${name}")
  expect_same_file("${STAGE}${SAMPLE_DIR}/${name}" "${SOURCE_DIR}/conf/${name}")
endforeach()
foreach(name IN ITEMS vexa_functions.sql fulltext_index.sql example_documents.sql)
  expect_same_file("${STAGE}${SQL_DIR}/${name}" "${SOURCE_DIR}/sql/${name}")
endforeach()

# The administrator's settings survive a reinstall; a list they deleted comes back.
file(WRITE "${udf}/Vexa.ini" "[Main]\nMinWordLen=5\n")
file(REMOVE "${udf}/Vexa_tkn.lst")
install_into_stage()
file(READ "${udf}/Vexa.ini" kept)
if(NOT kept STREQUAL "[Main]\nMinWordLen=5\n")
  message(FATAL_ERROR "the second install overwrote the changed Vexa.ini")
endif()
expect_same_file("${udf}/Vexa_tkn.lst" "${SOURCE_DIR}/conf/Vexa_tkn.lst")

# What `cmake --install` puts where, and the packages CPack makes of it.
#
# Components: `module` (Vexa.so and the sample configuration beside it),
# `udr` (the UDR module, with the same configuration beside it), `sql`,
# `tools` and `docs`. The modules go where the server loads them: absolute
# directories, Debian's Firebird 3.0 ones by default, DESTDIR honoured; the
# rest goes under the install prefix. A Windows build installs everything
# relative to the prefix, as a server's directory tree: UDF\, plugins\udr\.
include(GNUInstallDirs)

if(WIN32)
  set(vexa_default_firebird_root "")
elseif(CMAKE_LIBRARY_ARCHITECTURE)
  set(vexa_default_firebird_root "/usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/firebird/3.0")
else()
  set(vexa_default_firebird_root "/opt/firebird")
endif()
if(vexa_default_firebird_root)
  set(vexa_default_udf_dir "${vexa_default_firebird_root}/UDF")
  set(vexa_default_udr_dir "${vexa_default_firebird_root}/plugins/udr")
else()
  set(vexa_default_udf_dir "UDF")
  set(vexa_default_udr_dir "plugins/udr")
endif()
set(VEXA_INSTALL_UDF_DIR "${vexa_default_udf_dir}" CACHE PATH
    "Where the server loads Vexa.so from (a directory UdfAccess allows)")
set(VEXA_INSTALL_UDR_DIR "${vexa_default_udr_dir}" CACHE PATH
    "Where the server loads UDR modules from (plugins.conf's UDR path)")
set(VEXA_INSTALL_SQL_DIR "${CMAKE_INSTALL_DATADIR}/vexa/sql" CACHE PATH "Where the SQL scripts go")
set(VEXA_INSTALL_DOC_DIR "${CMAKE_INSTALL_DATADIR}/doc/vexa" CACHE PATH "Where the documentation goes")
set(VEXA_INSTALL_SAMPLE_DIR "${CMAKE_INSTALL_DATADIR}/vexa/conf" CACHE PATH
    "Where pristine copies of the sample configuration go")
set(vexa_sample_configuration
  ${PROJECT_SOURCE_DIR}/conf/Vexa.ini
  ${PROJECT_SOURCE_DIR}/conf/Vexa_skip.lst
  ${PROJECT_SOURCE_DIR}/conf/Vexa_tkn.lst
  ${PROJECT_SOURCE_DIR}/conf/english_stop.txt
  ${PROJECT_SOURCE_DIR}/conf/german_stop.txt
  ${PROJECT_SOURCE_DIR}/conf/russian_stop.txt
)

# The sample configuration beside a module, leaving alone any file of that
# name already there: the administrator's own settings and word lists outlive
# an upgrade or a reinstall. The pristine copies are always installed.
function(vexa_install_configuration_beside directory component)
  install(CODE "
    set(vexa_target_dir \"${directory}\")
    if(NOT IS_ABSOLUTE \"\${vexa_target_dir}\")
      set(vexa_target_dir \"\${CMAKE_INSTALL_PREFIX}/\${vexa_target_dir}\")
    endif()
    foreach(sample IN ITEMS ${vexa_sample_configuration})
      get_filename_component(name \"\${sample}\" NAME)
      set(installed \"\$ENV{DESTDIR}\${vexa_target_dir}/\${name}\")
      if(EXISTS \"\${installed}\")
        message(STATUS \"Kept (not overwritten): \${installed}\")
      else()
        file(INSTALL \"\${sample}\" DESTINATION \"\${vexa_target_dir}\")
      endif()
    endforeach()
  " COMPONENT ${component})
endfunction()

install(TARGETS Vexa LIBRARY DESTINATION "${VEXA_INSTALL_UDF_DIR}" COMPONENT module
                     RUNTIME DESTINATION "${VEXA_INSTALL_UDF_DIR}" COMPONENT module)
vexa_install_configuration_beside("${VEXA_INSTALL_UDF_DIR}" module)

if(TARGET vexa_udr)
  install(TARGETS vexa_udr LIBRARY DESTINATION "${VEXA_INSTALL_UDR_DIR}" COMPONENT udr
                           RUNTIME DESTINATION "${VEXA_INSTALL_UDR_DIR}" COMPONENT udr)
  vexa_install_configuration_beside("${VEXA_INSTALL_UDR_DIR}" udr)
endif()

install(FILES ${vexa_sample_configuration} DESTINATION "${VEXA_INSTALL_SAMPLE_DIR}" COMPONENT module)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/sql/ DESTINATION "${VEXA_INSTALL_SQL_DIR}" COMPONENT sql
        FILES_MATCHING PATTERN "*.sql")
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION "${VEXA_INSTALL_DOC_DIR}" COMPONENT docs)

if(VEXA_BUILD_TOOLS)
  foreach(tool IN ITEMS vexa)
    if(TARGET ${tool})
      install(TARGETS ${tool} RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT tools)
    endif()
  endforeach()
endif()

include(${CMAKE_CURRENT_LIST_DIR}/debian_package.cmake)

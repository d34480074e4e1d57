# The Debian package: `cpack -G DEB` in a build directory (tools/package.sh).
# Its configuration files beside the modules are conffiles, which dpkg keeps
# when the administrator changed them; its postinst says what the server's
# configuration needs rather than editing it.
set(VEXA_FIREBIRD_CONF "/etc/firebird/3.0/firebird.conf" CACHE FILEPATH
    "The firebird.conf the Debian package's install notes name")
set(VEXA_FIREBIRD_PLUGINS_CONF "/etc/firebird/3.0/plugins.conf" CACHE FILEPATH
    "The plugins.conf the Debian package's install notes name")

set(CPACK_PACKAGE_NAME vexa)
set(CPACK_PACKAGE_VENDOR "Vexa")
set(CPACK_PACKAGE_CONTACT "Vexa maintainers <vexa@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Full-text indexing functions for Firebird")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_PACKAGE_DESCRIPTION "A library of external functions that a Firebird server loads: it splits \
documents into normalised index words, gives a CRC of a document's words and a phonetic code \
of a word. With SQL scripts that keep a full-text index in ordinary tables and search it.")
# Parser_Next's results are allocated with the server's ib_util_malloc.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libib-util")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "firebird3.0-server | firebird3.0-server-core")

set(VEXA_SQL_PATH "${CPACK_PACKAGING_INSTALL_PREFIX}/${VEXA_INSTALL_SQL_DIR}")
set(VEXA_DOC_PATH "${CPACK_PACKAGING_INSTALL_PREFIX}/${VEXA_INSTALL_DOC_DIR}")
set(vexa_conffiles "")
foreach(directory IN ITEMS "${VEXA_INSTALL_UDF_DIR}" "${VEXA_INSTALL_UDR_DIR}")
  if(directory STREQUAL VEXA_INSTALL_UDR_DIR AND NOT TARGET vexa_udr)
    continue()
  endif()
  foreach(name IN ITEMS Vexa.ini Vexa_skip.lst Vexa_tkn.lst english_stop.txt german_stop.txt russian_stop.txt)
    string(APPEND vexa_conffiles "${directory}/${name}\n")
  endforeach()
endforeach()
set(VEXA_POSTINST_UDR_TEXT "")
# The index to install: the segment index of the UDR module where it is
# packaged, else the portable one over the functions.
set(VEXA_POSTINST_SCRIPTS "vexa_functions splitting_udf fulltext_index fulltext_search fulltext_query")
if(TARGET vexa_udr)
  set(VEXA_POSTINST_SCRIPTS "splitting_udr fulltext_udr fulltext_indexes")
  set(VEXA_POSTINST_UDR_TEXT "
plugins_conf=${VEXA_FIREBIRD_PLUGINS_CONF}
cat <<TEXT
Vexa: the UDR module is in ${VEXA_INSTALL_UDR_DIR}, the directory that the
UDR engine's path in \$plugins_conf names unless it was changed there
(path = \\\$(dir_plugins)/udr); if it was, add this directory to it.
TEXT
")
endif()

set(vexa_debian_control "${PROJECT_BINARY_DIR}/debian")
file(WRITE "${vexa_debian_control}/conffiles" "${vexa_conffiles}")
configure_file("${CMAKE_CURRENT_LIST_DIR}/debian/postinst.in" "${vexa_debian_control}/postinst" @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${vexa_debian_control}/conffiles;${vexa_debian_control}/postinst")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

if(NOT WIN32)
  set(CPACK_GENERATOR DEB)
endif()
include(CPack)

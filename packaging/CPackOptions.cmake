# Read by cpack for each generator: the Debian package takes the Linux files, the zip the
# Windows ones.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_COMPONENTS_ALL linux)
  set(CPACK_DEB_COMPONENT_INSTALL OFF)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  # Release builds carry no debug information, but the symbol tables still go.
  set(CPACK_STRIP_FILES ON)
elseif(CPACK_GENERATOR STREQUAL "ZIP")
  if(NOT CPACK_VIRLEX_WINDOWS_PARTS)
    message(FATAL_ERROR "no Windows build to pack: configure with VIRLEX_WINDOWS_BUILD and/or "
                        "VIRLEX_WINDOWS_BUILD64 naming finished mingw-w64 build folders")
  endif()
  set(CPACK_COMPONENTS_ALL windows)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  # Everything in one folder named after the zip, as unpacking tools expect.
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_ARCHIVE_FILE_NAME "Virlex-${CPACK_PACKAGE_VERSION}-windows")
  set(CPACK_PACKAGE_FILE_NAME "Virlex-${CPACK_PACKAGE_VERSION}-windows")
  # The host's strip does not know Windows DLLs.
  set(CPACK_STRIP_FILES OFF)
endif()

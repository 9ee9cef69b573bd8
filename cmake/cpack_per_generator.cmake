# Read by cpack once for each generator: the .deb carries Debian's copyright
# file, the tarball the plain LICENSE; everything else goes in both.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_COMPONENTS_ALL Unspecified copyright)
else()
  set(CPACK_COMPONENTS_ALL Unspecified licence)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()

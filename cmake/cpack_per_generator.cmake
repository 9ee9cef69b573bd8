# Read by cpack once for each generator: the .deb carries Debian's copyright
# file and lintian's overrides, the tarball the plain LICENSE; everything else
# goes in both.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_COMPONENTS_ALL Unspecified copyright lintian)
else()
  set(CPACK_COMPONENTS_ALL Unspecified licence)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()

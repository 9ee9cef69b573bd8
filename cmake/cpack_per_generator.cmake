# Read by cpack once for each generator: the .deb carries Debian's copyright
# file, the tarball the plain LICENSE; everything else goes in both.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_COMPONENTS_ALL Unspecified copyright)
else()
  set(CPACK_COMPONENTS_ALL Unspecified licence)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()

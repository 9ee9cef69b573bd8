# Installation and packages. Linux: the tool in bin, the stand-in runtime in
# a private library folder, the sample data and the man page under share.
# Windows: zorbel.exe alone at the top, so a real runtime is never shadowed;
# the stand-in in a folder of its own.
include(GNUInstallDirs)
# Folders made by the installation are rwxr-xr-x whatever the builder's umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# A document as a package's users read it: without the marker lines of the
# document tests, and without the paragraphs marked (<!-- linux --> or
# <!-- windows --> on the line before) for the other platform.
function(write_document input output platform newline_style)
  file(READ ${PROJECT_SOURCE_DIR}/${input} text)
  set(other windows)
  if(platform STREQUAL windows)
    set(other linux)
  endif()
  string(REGEX REPLACE "<!-- ${other} -->\n([^\n]+\n)+\n" "" text "${text}")
  string(REGEX REPLACE "<!--[^\n]*-->\n" "" text "${text}")
  file(CONFIGURE OUTPUT ${output} CONTENT "${text}" @ONLY NEWLINE_STYLE ${newline_style})
endfunction()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS doc/windows.md runtime/README.md)

# The licence goes with every package: LICENSE.txt (CR LF) in the zips,
# LICENSE in the tarball and a plain installation, and in the .deb as the
# machine-readable copyright file Debian expects, made from the same text.
if(WIN32)
  # Text files for Windows users, with CR LF line ends: the licence, the
  # users' part of doc/windows.md as the zip's README.txt (@ZORBEL_WINDOWS_KIND@
  # in it says the kind), and the stand-in's document as the README.txt of
  # its folder.
  configure_file(LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  file(READ ${PROJECT_SOURCE_DIR}/doc/windows.md windows_doc)
  string(REGEX MATCH "<!-- README.txt -->\n(.*)<!-- end of README.txt -->" found "${windows_doc}")
  if(NOT found)
    message(FATAL_ERROR "doc/windows.md has no part marked as the zip's README.txt")
  endif()
  file(CONFIGURE OUTPUT README.txt CONTENT "${CMAKE_MATCH_1}" @ONLY NEWLINE_STYLE CRLF)
  write_document(runtime/README.md stand-in-README.txt windows CRLF)
else()
  write_document(runtime/README.md stand-in-runtime.md linux UNIX)
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
  string(REGEX REPLACE "^MIT License\n\nCopyright \\(c\\) ([^\n]*)\n\n" "" terms "${licence}")
  set(copyright_holder "${CMAKE_MATCH_1}")
  string(REGEX REPLACE "\n\n" "\n.\n" terms "${terms}")
  string(REGEX REPLACE "\n([^\n])" "\n \\1" terms "${terms}")
  file(WRITE ${PROJECT_BINARY_DIR}/copyright
    "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
    "Upstream-Name: zorbel\n\n"
    "Files: *\n"
    "Copyright: ${copyright_holder}\n"
    "License: Expat\n"
    " ${terms}")
  # What lintian says of the .deb that is not so, each with the reason.
  file(WRITE ${PROJECT_BINARY_DIR}/lintian-overrides
    "# The sample reports are data that the stand-in runtime reads, not documents.\n"
    "zorbel: package-contains-documentation-outside-usr-share-doc [usr/share/zorbel/sample/reports/*]\n"
    "# Not a word: the compiler stores \" bytes, over the limit of \" as two overlapping pieces.\n"
    "zorbel: spelling-error-in-binary theer there [usr/lib/*/zorbel/libnnotes.so]\n")

  # The man page says the project's version; the changelog is history, each
  # release's entry as it was written. Both are compressed as Debian wants
  # them: gzip -9 without a name or time stamp, so two builds give the same
  # bytes. The man page is kept for man -l.
  configure_file(doc/zorbel.1 zorbel.1 @ONLY)
  configure_file(packaging/changelog changelog COPYONLY)
  find_program(ZORBEL_GZIP gzip REQUIRED)
  set(compressed ${PROJECT_BINARY_DIR}/zorbel.1.gz ${PROJECT_BINARY_DIR}/changelog.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${ZORBEL_GZIP} -9nkf zorbel.1 changelog
    DEPENDS ${PROJECT_BINARY_DIR}/zorbel.1 ${PROJECT_BINARY_DIR}/changelog
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR})
  add_custom_target(compressed_docs ALL DEPENDS ${compressed})
endif()

if(WIN32)
  set(standin stand-in-runtime)
  install(TARGETS zorbel RUNTIME DESTINATION .)
  install(FILES ${PROJECT_BINARY_DIR}/LICENSE.txt ${PROJECT_BINARY_DIR}/README.txt DESTINATION .)
  install(TARGETS nnotes RUNTIME DESTINATION ${standin})
  install(DIRECTORY sample/ DESTINATION ${standin}/sample)
  install(FILES ${PROJECT_BINARY_DIR}/stand-in-README.txt DESTINATION ${standin} RENAME README.txt)
else()
  install(TARGETS zorbel RUNTIME DESTINATION bin)
  install(TARGETS nnotes LIBRARY DESTINATION ${ZORBEL_LIBDIR} NAMELINK_SKIP)
  install(DIRECTORY sample/ DESTINATION ${ZORBEL_SAMPLEDIR})
  install(FILES ${PROJECT_BINARY_DIR}/zorbel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_BINARY_DIR}/changelog.gz ${PROJECT_BINARY_DIR}/stand-in-runtime.md
          DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT licence)
  install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT copyright)
  install(FILES ${PROJECT_BINARY_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
          RENAME zorbel COMPONENT lintian EXCLUDE_FROM_ALL)
endif()

set(CPACK_PACKAGE_NAME zorbel)
set(CPACK_PACKAGE_VENDOR "Zorbel")
set(CPACK_PACKAGE_CONTACT "Zorbel developers <zorbel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tells how long a Notes client or server has been running")
set(CPACK_PACKAGE_DESCRIPTION
  "zorbel prints the uptime of the local Notes client or server, or of a\n"
  "remote Notes server, as one line such as '3 days 04:05:06'. This package\n"
  "includes a stand-in Notes runtime with sample data.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_STRIP_FILES ON)
# A component installation lists each package's files in sorted order, not in
# the order the file system gives; all components go into one package.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_COMPONENTS_ALL Unspecified) # the one component, named, or cpack takes none
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_SYSTEM_NAME ${ZORBEL_WINDOWS_ZIP})
else()
  set(CPACK_GENERATOR "DEB;TGZ")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # dpkg-shlibdeps must be told where the private runtime library lies.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/${ZORBEL_LIBDIR})
  # The .deb carries the copyright file, the tarball the plain LICENSE.
  set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/cpack_per_generator.cmake)
endif()
include(CPack)

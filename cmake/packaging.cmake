# CPack: a .deb from the Linux build, a .zip from the Windows build; both
# hold pravtweak and protoglean. scripts/package.sh makes them.
set(CPACK_PACKAGE_NAME pravtweak)
set(CPACK_PACKAGE_VENDOR "The pravtools authors")
set(CPACK_PACKAGE_CONTACT "The pravtools authors <pravtools@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "organ configuration editor and C prototype extractor")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME pravtweak-${PROJECT_VERSION}-windows-x64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "pravtweak rewrites the <ranks> section of a virtual theatre organ's XML
file from the volume, pan and soundfont settings of an INI file, and keeps
the previous file as a backup.
.
protoglean writes the prototypes, extern declarations and verbatim passages
of marked C sources into a header; a CMake package runs it from a build.")
  # Debian's doc files (copyright, compressed changelog) and compressed
  # manual pages are put into the staged tree just before it is packed.
  set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/debian_docs.cmake)
  set(CPACK_PRAVTOOLS_DEBIAN_DIR ${PROJECT_SOURCE_DIR}/packaging/debian)
endif()

include(CPack)

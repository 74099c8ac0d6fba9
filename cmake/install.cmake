# What `cmake --install` puts where. On Linux the usual tree: the programs in
# bin/, their manual pages, the example organ and INI files, and the CMake
# package that lets other builds run protoglean. On Windows one flat folder,
# the content of the zip: the programs, README.txt, LICENSE.txt, examples/.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

if(WIN32)
  install(TARGETS pravtweak protoglean RUNTIME DESTINATION .)
  # Text files with CR LF, so that every Windows editor shows their lines;
  # the example organ file has them already.
  configure_file(packaging/windows/README.txt README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(examples/organ.ini examples/organ.ini @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_BINARY_DIR}/LICENSE.txt DESTINATION .)
  install(FILES examples/organ.xml ${PROJECT_BINARY_DIR}/examples/organ.ini DESTINATION examples)
else()
  install(TARGETS pravtweak RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(TARGETS protoglean EXPORT protogleanTargets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES man/pravtweak.1 man/protoglean.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES examples/organ.xml examples/organ.ini
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/pravtweak/examples)

  # find_package(protoglean): the executable as an imported target whose path
  # is worked out from where the package files lie, so that an installed tree
  # may be moved, and the function protoglean_generate().
  set(package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/protoglean)
  install(EXPORT protogleanTargets NAMESPACE protoglean:: DESTINATION ${package_dir})
  write_basic_package_version_file(
    ${PROJECT_BINARY_DIR}/protogleanConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
  install(FILES cmake/protogleanConfig.cmake ${PROJECT_BINARY_DIR}/protogleanConfigVersion.cmake
          DESTINATION ${package_dir})
endif()

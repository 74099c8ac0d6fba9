# Run by cpack on the staged tree of the .deb, before it is packed: Debian
# wants the copyright file and the changelog (gzip -9n) in the package's doc
# folder and its manual pages compressed the same way.
set(root ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
set(doc ${root}/share/doc/${CPACK_PACKAGE_NAME})

file(COPY ${CPACK_PRAVTOOLS_DEBIAN_DIR}/copyright DESTINATION ${doc}
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
execute_process(COMMAND gzip -9n -c ${CPACK_PRAVTOOLS_DEBIAN_DIR}/changelog
                OUTPUT_FILE ${doc}/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
file(GLOB pages ${root}/share/man/man*/*.[1-9])
foreach(page IN LISTS pages)
  execute_process(COMMAND gzip -9nf ${page} COMMAND_ERROR_IS_FATAL ANY)
endforeach()

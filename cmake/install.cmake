# What `cmake --install` puts where, and the packages CPack makes of it: a Debian package from
# the Linux build, a zip from the Windows build.
include(GNUInstallDirs)

set(compattatore_docs README.md docs/authors.md)
if(WIN32)
  # The zip is unpacked into one folder: the programs and their documents side by side.
  install(TARGETS compattatore compattatore-console RUNTIME DESTINATION .)
  install(FILES ${compattatore_docs} docs/windows.md DESTINATION docs)
else()
  install(TARGETS compattatore RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${compattatore_docs} DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES completions/compattatore.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME compattatore)
  install(FILES completions/_compattatore
          DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
endif()

set(CPACK_PACKAGE_NAME compattatore)
set(CPACK_PACKAGE_VENDOR "compattatore")
set(CPACK_PACKAGE_CONTACT "compattatore developers <compattatore@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x86_64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  # The libraries it needs (libc, libstdc++, libgcc) are read from the program itself.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "${PROJECT_DESCRIPTION}\n Compiles the line and train descriptions of a scenario into the simulator's\n binary files, and gives authors commands to compile, inspect and plot their own.")
endif()
include(CPack)

# Install rules and the packages made by the `package` target (CPack):
# on Windows lpgm-VERSION-win64.zip, elsewhere lpgm_VERSION_amd64.deb.
# Every program in LPGM_PROGRAMS is installed and packaged.
if(WIN32)
  # Everything in one folder: the programs and the documents at the top,
  # the example beside them with a copy of lpgm.exe, so that a double click
  # in the example folder runs it there.
  set(LPGM_INSTALL_BIN .)
  set(LPGM_INSTALL_DOC .)
  set(LPGM_INSTALL_EXAMPLE example)
  install(TARGETS lpgm RUNTIME DESTINATION ${LPGM_INSTALL_EXAMPLE})
  install(FILES packaging/README-Windows.txt DESTINATION ${LPGM_INSTALL_DOC})
else()
  include(GNUInstallDirs)
  set(LPGM_INSTALL_BIN ${CMAKE_INSTALL_BINDIR})
  set(LPGM_INSTALL_DOC ${CMAKE_INSTALL_DATAROOTDIR}/doc/lpgm)
  set(LPGM_INSTALL_EXAMPLE ${LPGM_INSTALL_DOC}/example)
endif()

install(TARGETS ${LPGM_PROGRAMS} RUNTIME DESTINATION ${LPGM_INSTALL_BIN})
install(FILES README.md DESTINATION ${LPGM_INSTALL_DOC})
install(DIRECTORY examples/ DESTINATION ${LPGM_INSTALL_EXAMPLE})

set(CPACK_PACKAGE_NAME lpgm)
set(CPACK_PACKAGE_VENDOR "lpgm project")
set(CPACK_PACKAGE_CONTACT "lpgm project <lpgm@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Long-period ground motion: target velocity spectra and ranked cases")
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME lpgm-${PROJECT_VERSION}-win64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
  set(CPACK_DEBIAN_FILE_NAME lpgm_${PROJECT_VERSION}_amd64.deb)
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  if(LPGM_STATIC_CXX_RUNTIME)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6")
  else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")
  endif()
endif()
include(CPack)

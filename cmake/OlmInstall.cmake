# Installation as a desktop application (`cmake --install`) and the Debian
# package (`cpack -G DEB`): both programs, the desktop entry, the MIME type
# of .olm projects, the application icon and the manual.
include(GNUInstallDirs)
# `make install` and `make package` build first; installing does not rebuild every target.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
install(TARGETS olm RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET olm-desktop)
  install(TARGETS olm-desktop RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/resources/olm.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/olm-mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME olm.xml)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/olm.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/docs/manual.md ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME olm)
set(CPACK_PACKAGE_VENDOR "OLM")
set(CPACK_PACKAGE_CONTACT "OLM developers <olm@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Reduction of experimental test data (desktop program and olm)")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The desktop database, the MIME database and the icon cache are refreshed by
# the triggers of desktop-file-utils, shared-mime-info and the icon theme.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")
include(CPack)

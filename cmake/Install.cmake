# Where `cmake --install` puts the program and its files, in the places of
# the file-system hierarchy and the XDG data folders. The program finds its
# libraries in ../lib/tallowin and its help in ../share/tallowin beside its
# binary, as in the build tree.
include(GNUInstallDirs)

install(TARGETS tallowin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Every library the program loads: the printing library and its dialog, the
# language libraries and the readers' modules, as the build puts them there.
install(DIRECTORY ${TALLOWIN_LIB_DIR}/ DESTINATION lib/tallowin
  USE_SOURCE_PERMISSIONS FILES_MATCHING PATTERN "*.so")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tallowin/help)
install(FILES ${PROJECT_SOURCE_DIR}/data/tallowin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/tallowin-mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME tallowin.xml)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/tallowin.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/data/icons/tallowin-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tallowin.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/docs/tallowin.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/docs/plotwise.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# What `cmake --install` puts where: programs in bin/, the shipped data in share/orvaview/
# (the programs look there when nothing is beside them), and the desktop files where the
# freedesktop tools look for them.
include(GNUInstallDirs)
set(ORVA_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/orvaview)

install(TARGETS orva orvaview RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ORVA_OUTPUT_DIR}/gemlib DESTINATION ${ORVA_INSTALL_DATA_DIR} OPTIONAL)
install(DIRECTORY ${ORVA_OUTPUT_DIR}/material ${ORVA_OUTPUT_DIR}/samples
        DESTINATION ${ORVA_INSTALL_DATA_DIR} OPTIONAL)

set(_resources ${PROJECT_SOURCE_DIR}/resources)
install(FILES ${_resources}/orvaview.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_resources}/orvaview.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${_resources}/orvaview.thumbnailer DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
install(FILES ${_resources}/orvaview.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${_resources}/orvaview.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes
        RENAME application-x-orvaview-document.svg)

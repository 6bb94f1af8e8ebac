# What `cmake --install` puts where: programs in bin/, the shipped data in share/orvaview/
# (the programs look there when nothing is beside them), and the desktop files where the
# freedesktop tools look for them.
include(GNUInstallDirs)
set(ORVA_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/orvaview)

install(TARGETS orva orvaview RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ORVA_OUTPUT_DIR}/gemlib DESTINATION ${ORVA_INSTALL_DATA_DIR} OPTIONAL)
install(DIRECTORY ${ORVA_OUTPUT_DIR}/material ${ORVA_OUTPUT_DIR}/samples
        DESTINATION ${ORVA_INSTALL_DATA_DIR} OPTIONAL)
# The web component the page export inlines, when the build had node_modules/ to take it from.
install(FILES ${ORVA_OUTPUT_DIR}/web/model-viewer.min.js
              ${ORVA_OUTPUT_DIR}/web/model-viewer.LICENSE
        DESTINATION ${ORVA_INSTALL_DATA_DIR}/web OPTIONAL)

set(_resources ${PROJECT_SOURCE_DIR}/resources)
install(FILES ${_resources}/orvaview.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_resources}/orvaview.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${_resources}/orvaview.thumbnailer DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
install(FILES ${_resources}/orvaview.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${_resources}/orvaview.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes
        RENAME application-x-orvaview-document.svg)

# The manual pages, compressed as man reads them; without a time stamp, so the same sources
# make the same files.
set(_man_pages)
foreach(page orva orvaview)
    set(_compressed ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
    add_custom_command(
        OUTPUT ${_compressed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND gzip -9 -n -c ${_resources}/man/${page}.1 > ${_compressed}
        DEPENDS ${_resources}/man/${page}.1
        COMMENT "Compressing the manual page of ${page}")
    list(APPEND _man_pages ${_compressed})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${_man_pages})
install(FILES ${_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

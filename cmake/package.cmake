# `cpack -G DEB` (or `cpack --preset release`): the Debian package orvaview_<version>_<arch>.deb
# of what cmake/install.cmake installs, under /usr. Its version is the project's, the one
# `orva --version` prints; its dependencies are read off the programs by dpkg-shlibdeps, so
# they follow whatever the build links. The system's own triggers (shared-mime-info,
# desktop-file-utils, the icon cache) register the file type, desktop entry and icon, so the
# package needs no maintainer scripts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvaview)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Orvatrix)
set(CPACK_PACKAGE_CONTACT "Orvatrix maintainers <maintainers@orvatrix.example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for three-dimensional jewellery models")
# Lines of at most 72 characters, as the package tools show them.
set(CPACK_PACKAGE_DESCRIPTION
    "Orvatrix Viewer shows jewellery scene files (.orv): metals, gems and\n\
their settings, rendered in a desktop window that can be turned, panned\n\
and zoomed. The orva command-line tool lists a scene's objects and\n\
renders pictures, thumbnails and turntable animations of it without a\n\
display.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Installed programs carry no debugging information, whatever the build type.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orvatrix.example.com/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The viewer's web site command opens the site with xdg-open; all else works without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Every Debian package carries its copyright file and a compressed change log in
# /usr/share/doc/<package>/. The change log is compressed at build time without a time stamp,
# so the same sources make the same package.
set(_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
set(_changelog ${CMAKE_BINARY_DIR}/package/changelog.gz)
# The date of the entry is the release's; the version comes from the project.
configure_file(${PROJECT_SOURCE_DIR}/resources/debian/changelog.in
               ${CMAKE_BINARY_DIR}/package/changelog @ONLY)
add_custom_command(
    OUTPUT ${_changelog}
    COMMAND gzip -9 -n -c ${CMAKE_BINARY_DIR}/package/changelog > ${_changelog}
    DEPENDS ${CMAKE_BINARY_DIR}/package/changelog
    COMMENT "Compressing the package's change log")
add_custom_target(package_changelog ALL DEPENDS ${_changelog})
install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright ${_changelog}
        DESTINATION ${_doc_dir})

# What the package holds, so that scripts/package.sh builds only that and not the tests and
# benchmarks: the install rules of the data are optional, and a file that was not built would
# be missing from the package without a word.
add_custom_target(package_contents DEPENDS orva orvaview samples materials gemlib
                  sample_thumbnails man_pages package_changelog web_component)

include(CPack)

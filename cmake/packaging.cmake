# The Debian package, built by CPack from an installed tree:
#   cpack --config <build>/CPackConfig.cmake -G DEB
# scripts/package.sh does it from the release build.

# The files a Debian package carries beside the program: its copyright and a
# changelog (compressed, without a time stamp).
set(VELLUMO_CHANGELOG ${PROJECT_BINARY_DIR}/debian/changelog)
execute_process(COMMAND date -u -R -d "${VELLUMO_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE VELLUMO_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${PROJECT_SOURCE_DIR}/data/debian/changelog.in ${VELLUMO_CHANGELOG} @ONLY)
add_custom_command(OUTPUT ${VELLUMO_CHANGELOG}.gz
    COMMAND gzip -9 -n -c ${VELLUMO_CHANGELOG} > ${VELLUMO_CHANGELOG}.gz
    DEPENDS ${VELLUMO_CHANGELOG}
    VERBATIM)
add_custom_target(vellumo_package_docs ALL DEPENDS ${VELLUMO_CHANGELOG}.gz)
install(FILES ${VELLUMO_CHANGELOG}.gz ${PROJECT_SOURCE_DIR}/data/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vellumo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vellumo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vellumo developers")
set(CPACK_PACKAGE_CONTACT "The Vellumo developers <vellumo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "HTML source editor for pages written by hand")
set(CPACK_PACKAGE_DESCRIPTION
    "Vellumo edits the source of web pages. Toolbars, menus and a side palette put
tags, character entities and whole elements at the caret, in the tag case the
user chooses; about twenty small dialogs each build one element (image, link,
form field, frameset and more), and a page generator writes an entry page.
Pages are saved byte for byte in their own encoding and line breaks, and
unsaved work survives a crash.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vellumo.example.org/)
# The libraries the program and its preview plugin link come from the binaries
# themselves (the web engine's helper program with its library); Tidy, which Check Page
# opens only when first used, is named here. The Qt platform plugins for Wayland and
# the desktop's file choosers are welcome but not needed.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libtidy5deb1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins, qt6-gtk-platformtheme")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)

# The Debian package: cpack -G DEB in a build configured with CMAKE_INSTALL_PREFIX=/usr
# (scripts/package does both).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${ZETTARA_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Zettara authors")
set(CPACK_PACKAGE_CONTACT ${ZETTARA_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sticky notes on the desktop")
set(CPACK_PACKAGE_DESCRIPTION
"Zettara-6471 keeps small notes on the desktop, each in its own window and
colours: drag a note to move it, drag its edges to resize it, right-click it
to change, delete or close it. A main window lists every note, the program
stays in the notification area and can start with the login. The user
interface is in Simplified Chinese, or in English for users who prefer it.

Licence: MIT.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's X11 and Wayland platform plugins, which no library links to, and Qt's own texts in
# Chinese (file and colour dialogs, standard buttons).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
# The Chinese texts need a CJK font, in either interface language (note texts).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)

# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package of the editor, built with `cpack -G DEB` (scripts/package).
# Library dependencies are computed by dpkg-shlibdeps from the installed executable; the
# packages the editor loads at run time without linking to them are named here.
include(GNUInstallDirs)

# Packaging installs what is built already: the tests and tools need not be rebuilt for it.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_PACKAGE_NAME verrindel)
set(CPACK_PACKAGE_VENDOR "The VERRiNDEL developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for hand-written HTML and CSS")
set(CPACK_PACKAGE_DESCRIPTION
    "VERRiNDEL is a desktop editor for web pages written by hand. Type the markup, insert \
ready-made tags from the menus and fragments built by small dialogs (links, images, \
tables, lists, colours, marquees, meta tags, iframes, dates), colour the markup, look at \
the rendered page on the Preview tab and run the built-in validator.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}_${PROJECT_VERSION}")
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The VERRiNDEL developers <developers@verrindel.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, invisible to dpkg-shlibdeps: the editor's fonts (Cambria's metric
# twin and the interface font) and the extra picture formats of the image dialog. The X11
# platform plugin and the JPEG, GIF and BMP readers come with libqt6gui6, and the browser
# process of the Preview tab with Qt WebEngine, both found through the libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-crosextra-caladea, fonts-dejavu-core, qt6-image-formats-plugins")
# Native Wayland windows and GTK-style file dialogs where the desktop has them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-gtk-platformtheme")

include(CPack)

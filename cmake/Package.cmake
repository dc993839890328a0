# The Debian package (`make package`): what `cmake --install` puts in place,
# under /usr, with the libraries' packages found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varune-wardrobe)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Varune Wardrobe")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "character dress-up viewer for the online game Varune")
set(CPACK_PACKAGE_DESCRIPTION "\
Varune Wardrobe reads an installed Varune game client without writing to it,
lists every wearable item per slot and gender, and shows a character wearing
the chosen items, standing or playing any of its 96 animations. Pictures
export as BMP, JPEG, PNG, transparent PNG, animated GIF, PNG or WebP, and as
sprite sheets with their frame data.
.
The package holds the desktop program varune-wardrobe; varune-cli, which
inspects a client, renders and exports headlessly, and writes a complete demo
client made by code; and varune-server, an HTTP service of the same pictures
and item data for web sites and bots (a systemd unit, not enabled).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Varune Wardrobe maintainers <maintainers@users.noreply.c-seed-29017404.example>")
# Not "games": it plays no game (Debian keeps that section for /usr/games).
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no library link reveals: the fonts the interface and the pictures'
# texts are drawn with (IPAPGothic for the Japanese fonts, DejaVu Sans for
# Tahoma), and Qt's platform plugins, only recommended by libqt6gui6.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-dejavu-core, qt6-qpa-plugins")

# /etc/default/varune-server is the administrator's: an upgrade keeps their edits.
file(WRITE ${CMAKE_BINARY_DIR}/conffiles "/etc/default/varune-server\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/conffiles)

include(CPack)

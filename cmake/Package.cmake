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
export as BMP, JPEG, PNG, transparent PNG, animated GIF or animated PNG.
.
The package holds the desktop program varune-wardrobe and varune-cli, which
inspects a client, renders and exports headlessly, and writes a complete demo
client made by code.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Varune Wardrobe maintainers <maintainers@users.noreply.c-seed-29017404.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no library link reveals: the fonts the interface and the pictures'
# texts are drawn with (IPAPGothic for the Japanese fonts, DejaVu Sans for
# Tahoma), and Qt's platform plugins, only recommended by libqt6gui6.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-dejavu-core, qt6-qpa-plugins")

include(CPack)

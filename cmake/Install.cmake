# `cmake --install` lays the program out as a desktop expects it (GNU/XDG folders under the
# prefix); `cpack -G DEB` makes a Debian package of the same layout.
#
#   bin/cindral, bin/cindral-cli
#   share/cindral/                      data files, in the build tree's layout (data/*.cmake)
#   share/applications/cindral.desktop  menu entry, opens .gdx files
#   share/icons/hicolor/*/apps/         the icon, SVG and PNGs (data/desktop.cmake)
#   share/mime/packages/cindral.xml     the .gdx type, by name and by content
#   share/doc/cindral/                  the user guide (also built into the viewer as its help)
#   share/man/man1/                     cindral.1.gz, cindral-cli.1.gz (cmake/ManPages.cmake)
#   share/bash-completion/completions/  cindral-cli (data/completion.cmake)
#   share/metainfo/                     the AppStream description (data/metainfo.cmake)
#
# The desktop, icon and type caches are refreshed by the package manager's triggers when the
# package is installed; after a plain `cmake --install` run update-mime-database,
# update-desktop-database and gtk-update-icon-cache on the prefix if the desktop should see
# the new files at once.

if(CINDRAL_BUILD_GUI)
  install(TARGETS cindral cindral-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
include(${CMAKE_CURRENT_LIST_DIR}/ManPages.cmake)
set(CINDRAL_DOC_INSTALL_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/cindral)
install(FILES ${PROJECT_SOURCE_DIR}/docs/user-guide.md ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CINDRAL_DOC_INSTALL_DIR})

set(CPACK_PACKAGE_NAME cindral)
set(CPACK_PACKAGE_VENDOR Quentara)
set(CPACK_PACKAGE_CONTACT "Quentara support <support@quentara.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.quentara.example/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for compiled borehole logs (.gdx)")
# Debian shows the long description as is: lines of at most 79 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Cindral opens compiled borehole logs (.gdx), pages through them, reads the\n"
    "depth or elevation under the mouse, copies, magnifies, prints and exports\n"
    "pages as pictures, PDF and vector drawings. The command-line twin,\n"
    "cindral-cli, does the same in batch, many pages at once on every core.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the binaries link come from dpkg-shlibdeps; what they load or read at run
# time without linking it is named here: the X11/Wayland platform plugins, the SVG icon
# engine (the window icon), the fonts that keep the logs' text widths right, fontconfig's
# configuration.
find_program(CINDRAL_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(CINDRAL_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6, fontconfig, fonts-liberation2")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6core6, libqt6gui6, libqt6widgets6, libqt6printsupport6, libqt6svg6, libjpeg62-turbo, libfontconfig1, libstdc++6, libc6, qt6-qpa-plugins, fontconfig, fonts-liberation2")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_GENERATOR DEB)
include(CPack)

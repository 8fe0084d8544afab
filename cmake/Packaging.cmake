# `make package` (cpack -G DEB in the build folder): a Debian package of what `cmake --install`
# installs, into /usr. Library dependencies are found by dpkg-shlibdeps; the rest is declared.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wend)
set(CPACK_PACKAGE_VENDOR "Wend")
set(CPACK_PACKAGE_CONTACT "The Wend developers <dev@wend.app>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
  "Wend opens GPX files, draws their tracks, routes and waypoints over a web map and lets \
you select stretches of points to move, split, merge, simplify or retime them, with \
statistics for whatever is selected. Everything a file holds that Wend does not edit \
itself is kept and written back. wend-cli does the same work on whole files for scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no library link reveals: the map page's script library, and the plugin that draws the
# toolbar's SVG icons. (The browser engine's helper process comes with the engine's library.)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libjs-leaflet, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)

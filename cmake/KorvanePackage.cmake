# `cpack -G DEB` (or the "package" target): a Debian package of what cmake/KorvaneInstall.cmake
# installs, under /usr. Its dependencies are the packages of the shared libraries the programs
# link (dpkg-shlibdeps), plus what the window needs at run time without linking it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VENDOR "Korvane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration utility for USB gaming keyboards and mice")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvane configures a family of USB gaming peripherals: four keyboards
(per-key RGB, single-colour, zoned and zoned membrane), three mice and a
lighted mouse pad. It sets their lighting, key and button assignments,
macros, DPI stages and report rate, keeps named profiles that follow the
foreground application, and lives in the tray.")
set(CPACK_PACKAGE_CONTACT "Korvane developers <korvane@example.org>"
    CACHE STRING "Maintainer of the Debian package")
set(CPACK_STRIP_FILES TRUE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET korvane_gui_lib)
  # Qt finds the X11 platform plugin at run time; no program links it.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
endif()
# The rule applies through systemd-udevd's uaccess tag.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/data/debian/postinst ${PROJECT_SOURCE_DIR}/data/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

include(CPack)

# The package's copyright file and changelog, in /usr/share/doc/korvane.
file(READ ${PROJECT_SOURCE_DIR}/skin/Font/LICENSE-DejaVu.txt KORVANE_FONT_LICENSE)
configure_file(${PROJECT_SOURCE_DIR}/data/debian/copyright.in ${PROJECT_BINARY_DIR}/doc/copyright @ONLY)
string(TIMESTAMP KORVANE_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${PROJECT_SOURCE_DIR}/data/debian/changelog.in ${PROJECT_BINARY_DIR}/doc/changelog.txt @ONLY)
korvane_gzipped(${PROJECT_BINARY_DIR}/doc/changelog.txt ${PROJECT_BINARY_DIR}/doc/changelog.gz)
add_custom_target(korvane_package_docs ALL DEPENDS ${PROJECT_BINARY_DIR}/doc/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/doc/copyright ${PROJECT_BINARY_DIR}/doc/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

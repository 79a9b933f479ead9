# What `cmake --install` puts where. An installed program finds everything from its own
# folder (<prefix>/bin): the skin and default files in <prefix>/share/korvane, the udev rule
# in <prefix>/lib/udev/rules.d (src/core/CMakeLists.txt passes both paths to the program).
include(GNUInstallDirs)

set(KORVANE_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/korvane)
set(KORVANE_ICONS_DIR ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

install(TARGETS korvane korvanectl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The skin (pages, images, language files, the private font) and the default files.
# The font's licence goes into the package's copyright file (cmake/KorvanePackage.cmake).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/skin/ DESTINATION ${KORVANE_INSTALL_DATADIR}/skin
        PATTERN README.md EXCLUDE PATTERN *.txt EXCLUDE)
file(GLOB korvane_default_files CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/data/*.led ${PROJECT_SOURCE_DIR}/data/*.pro ${PROJECT_SOURCE_DIR}/data/*.cur)
install(FILES ${korvane_default_files} DESTINATION ${KORVANE_INSTALL_DATADIR})

# udev reads rules below every prefix's lib/, never below a multiarch library folder.
install(FILES ${PROJECT_SOURCE_DIR}/data/udev/70-korvane.rules DESTINATION lib/udev/rules.d)

# The menu entry, its icon and the software catalogue's description.
set(korvane_desktop ${PROJECT_SOURCE_DIR}/data/desktop)
install(FILES ${korvane_desktop}/org.korvane.Korvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${korvane_desktop}/org.korvane.Korvane.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${korvane_desktop}/korvane.svg DESTINATION ${KORVANE_ICONS_DIR}/scalable/apps)

# Fixed-size icons are drawn from the SVG at build time, so there is one picture to edit.
set(KORVANE_ICON_SIZES 16 22 24 32 48 64 128 256)
# rsvg-convert: Debian package librsvg2-bin.
find_program(KORVANE_RSVG_CONVERT rsvg-convert REQUIRED)
set(korvane_pngs)
foreach(size ${KORVANE_ICON_SIZES})
  set(png ${PROJECT_BINARY_DIR}/icons/${size}x${size}/korvane.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${KORVANE_RSVG_CONVERT} --width=${size} --height=${size} --output=${png}
            ${korvane_desktop}/korvane.svg
    DEPENDS ${korvane_desktop}/korvane.svg
    VERBATIM)
  list(APPEND korvane_pngs ${png})
  install(FILES ${png} DESTINATION ${KORVANE_ICONS_DIR}/${size}x${size}/apps)
endforeach()
add_custom_target(korvane_icons ALL DEPENDS ${korvane_pngs})

# Compressed as Debian wants documentation (gzip -9n: no name, no time stamp).
find_program(KORVANE_GZIP gzip REQUIRED)
function(korvane_gzipped source output)
  string(REGEX REPLACE "\\.gz$" "" plain ${output})
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${plain}
    COMMAND ${KORVANE_GZIP} -9nf ${plain}
    DEPENDS ${source}
    VERBATIM)
endfunction()

set(korvane_manuals)
foreach(page korvane.1 korvanectl.1)
  korvane_gzipped(${PROJECT_SOURCE_DIR}/data/man/${page} ${PROJECT_BINARY_DIR}/man/${page}.gz)
  list(APPEND korvane_manuals ${PROJECT_BINARY_DIR}/man/${page}.gz)
endforeach()
add_custom_target(korvane_manuals ALL DEPENDS ${korvane_manuals})
install(FILES ${korvane_manuals} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

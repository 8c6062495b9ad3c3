# Installing the game as a Linux game: `cmake --install build --prefix PREFIX` puts the game
# and its tools in PREFIX/bin, the generated data in PREFIX/share/kelvane (the game finds it
# there from its executable), a menu entry, icons, software-centre metadata and the manual
# page; `cpack -G DEB` (in the build directory) packs the same tree as a Debian package.
include(GNUInstallDirs)

set(KELVANE_APP_ID org.kelvane.Kelvane)
set(packaging ${CMAKE_SOURCE_DIR}/packaging)
set(generated ${CMAKE_BINARY_DIR}/packaging)

install(TARGETS kelvane kelvane-enc kelvane-check kelvane-replay kelvane-data
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The game's data: the tree `--target data` generates (brought up to date first), or a tree
# generated elsewhere named by KELVANE_INSTALL_DATA_FROM at install time (the package test
# packs the data the test suite generated rather than generating it a second time).
set(KELVANE_DATA_TREE ${CMAKE_SOURCE_DIR}/data)
install(CODE "
  if(DEFINED ENV{KELVANE_INSTALL_DATA_FROM})
    set(kelvane_data \"\$ENV{KELVANE_INSTALL_DATA_FROM}\")
  else()
    message(STATUS \"Bringing the game's data up to date: ${KELVANE_DATA_TREE}\")
    execute_process(COMMAND \"${CMAKE_COMMAND}\" --build \"${CMAKE_BINARY_DIR}\" --target data
                    RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR \"Generating the game's data failed; see the output above.\")
    endif()
    set(kelvane_data \"${KELVANE_DATA_TREE}\")
  endif()
  # A link to the tree would be installed as the link itself.
  file(REAL_PATH \"\${kelvane_data}\" kelvane_data)
  if(NOT EXISTS \"\${kelvane_data}/.complete\")
    message(FATAL_ERROR \"\${kelvane_data} is not a complete data tree (no .complete); generate it with kelvane-data.\")
  endif()
  # The game tells its data from any other folder called data by this file; it is installed.
  if(NOT EXISTS \"\${kelvane_data}/kelvane-data.txt\")
    message(FATAL_ERROR \"\${kelvane_data} is not the game's data (no kelvane-data.txt); generate it with kelvane-data.\")
  endif()
  # The game's world files and texts, which it reads at start-up, come with the tree.
  foreach(part world/main.lua po/kelvane.pot)
    if(NOT EXISTS \"\${kelvane_data}/\${part}\")
      message(FATAL_ERROR \"\${kelvane_data} has no \${part}, the game's world and texts; generate it again with kelvane-data.\")
    endif()
  endforeach()
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/kelvane\" TYPE DIRECTORY
       FILES \"\${kelvane_data}/\" PATTERN .complete EXCLUDE)
")

# Menu entry, software-centre metadata and manual page; the last two carry the version.
configure_file(${packaging}/${KELVANE_APP_ID}.metainfo.xml.in ${generated}/${KELVANE_APP_ID}.metainfo.xml @ONLY)
configure_file(${packaging}/kelvane.6.in ${generated}/kelvane.6 @ONLY)
install(FILES ${packaging}/${KELVANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${generated}/${KELVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${generated}/kelvane.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# Icons: the drawing itself, and PNGs rendered from it at the sizes menus ask for.
set(KELVANE_ICON_SIZES 64 128 256)
install(FILES ${packaging}/kelvane.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${KELVANE_APP_ID}.svg)
find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
  set(icons "")
  foreach(size ${KELVANE_ICON_SIZES})
    set(png ${generated}/icons/${size}x${size}/${KELVANE_APP_ID}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}/icons/${size}x${size}
      COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${packaging}/kelvane.svg
      DEPENDS ${packaging}/kelvane.svg
      COMMENT "Rendering the ${size} px icon" VERBATIM)
    list(APPEND icons ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  add_custom_target(icons ALL DEPENDS ${icons})
else()
  message(WARNING "rsvg-convert (Debian librsvg2-bin) not found: the installed game gets no PNG icons. "
                  "Run scripts/install-deps.")
endif()

# The Debian package: its dependencies are computed from the libraries the programs link
# (dpkg-shlibdeps), plus what they load at run time: the serif font and the OpenGL library.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvane)
set(CPACK_PACKAGE_VENDOR "The Kelvane developers")
set(CPACK_PACKAGE_CONTACT "The Kelvane developers <kelvane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "first-person point-and-click adventure")
set(CPACK_PACKAGE_DESCRIPTION "Kelvane is a first-person point-and-click adventure: turn round in
panoramas, walk through doorways, pick things up and use them, read books and set
old machinery going. The package holds the game, its data and the tools for people
who make content.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, libgl1")
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
include(CPack)

# What `cmake --install` lays out under the prefix, by component:
#   program     lib/telpod/ (telpod, telpod-send, libzqt100.so; translations/),
#               bin/telpod and bin/telpod-send as relative links to them, the
#               desktop entry, the icon, the AppStream metadata, the manual
#               pages and the package's doc files with an example rows file
#   simulators  lib/telpod/drivers/ (the simulated driver libraries and
#               slcan-sim, the simulated serial-line adapter)
# The program finds its folder through the real path of its executable, so
# the link in bin/ works like the program itself.
set(TELPOD_APP_ID jp.example.telpod)
set(TELPOD_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(TELPOD_STAGE_DIR ${CMAKE_BINARY_DIR}/packaging)
# Each component becomes the Debian package of the same place in the list.
set(TELPOD_COMPONENTS program simulators)
set(TELPOD_PACKAGES telpod telpod-sim)

install(TARGETS telpod telpod-send zqt100
  RUNTIME DESTINATION ${TELPOD_INSTALL_DIR} COMPONENT program
  LIBRARY DESTINATION ${TELPOD_INSTALL_DIR} COMPONENT program)
# The simulators stand in for hardware that is not there; a maker's real
# library in the system folders is found before them.
install(TARGETS cansim_canusb cansim_ifcan cansim_canlib slcan_sim
  LIBRARY DESTINATION ${TELPOD_INSTALL_DIR}/drivers COMPONENT simulators
  RUNTIME DESTINATION ${TELPOD_INSTALL_DIR}/drivers COMPONENT simulators)
# Qt's translation files (.qm) go to ${TELPOD_INSTALL_TRANSLATIONS_DIR}
# (top CMakeLists.txt), installed where they are built.

file(MAKE_DIRECTORY ${TELPOD_STAGE_DIR}/bin)
foreach(program telpod telpod-send)
  file(CREATE_LINK ../${TELPOD_INSTALL_DIR}/${program} ${TELPOD_STAGE_DIR}/bin/${program} SYMBOLIC)
  install(FILES ${TELPOD_STAGE_DIR}/bin/${program} DESTINATION bin COMPONENT program)
endforeach()

configure_file(${TELPOD_PACKAGING_DIR}/${TELPOD_APP_ID}.metainfo.xml
  ${TELPOD_STAGE_DIR}/${TELPOD_APP_ID}.metainfo.xml @ONLY)
install(FILES ${TELPOD_PACKAGING_DIR}/${TELPOD_APP_ID}.desktop
  DESTINATION share/applications COMPONENT program)
install(FILES ${TELPOD_PACKAGING_DIR}/${TELPOD_APP_ID}.svg
  DESTINATION share/icons/hicolor/scalable/apps COMPONENT program)
install(FILES ${TELPOD_STAGE_DIR}/${TELPOD_APP_ID}.metainfo.xml
  DESTINATION share/metainfo COMPONENT program)

# Debian wants the manual page and the changelog compressed, without a time
# stamp inside.
function(telpod_gzip_file source target)
  add_custom_command(OUTPUT ${target}
    COMMAND gzip -9nc ${source} > ${target}
    DEPENDS ${source} VERBATIM)
endfunction()
set(manual_pages)
foreach(page telpod.1 telpod-send.1)
  configure_file(${TELPOD_PACKAGING_DIR}/${page} ${TELPOD_STAGE_DIR}/${page} @ONLY)
  telpod_gzip_file(${TELPOD_STAGE_DIR}/${page} ${TELPOD_STAGE_DIR}/${page}.gz)
  list(APPEND manual_pages ${TELPOD_STAGE_DIR}/${page}.gz)
endforeach()
configure_file(${TELPOD_PACKAGING_DIR}/changelog.in ${TELPOD_STAGE_DIR}/changelog @ONLY)
telpod_gzip_file(${TELPOD_STAGE_DIR}/changelog ${TELPOD_STAGE_DIR}/changelog.gz)
add_custom_target(telpod_packaging_files ALL
  DEPENDS ${manual_pages} ${TELPOD_STAGE_DIR}/changelog.gz)
install(FILES ${manual_pages} DESTINATION share/man/man1 COMPONENT program)

# A rows file written by hand, as the manual page and the README describe.
install(FILES ${TELPOD_PACKAGING_DIR}/examples/rows.csv
  DESTINATION share/doc/telpod/examples COMPONENT program)

# Each package carries its own copyright and changelog.
foreach(component package IN ZIP_LISTS TELPOD_COMPONENTS TELPOD_PACKAGES)
  install(FILES ${TELPOD_PACKAGING_DIR}/copyright ${TELPOD_STAGE_DIR}/changelog.gz
    DESTINATION share/doc/${package} COMPONENT ${component})
endforeach()

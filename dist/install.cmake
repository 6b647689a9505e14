# Install rules and the Debian package: program, data, desktop entry, icons, metadata, man page.
install(TARGETS kordax RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${KORDAX_RUN_DIR}/gfx ${KORDAX_RUN_DIR}/sound DESTINATION ${CMAKE_INSTALL_DATADIR}/kordax
  PATTERN .generated EXCLUDE)

set(KORDAX_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
configure_file(${CMAKE_CURRENT_LIST_DIR}/kordax.desktop.in ${KORDAX_DIST_DIR}/${KORDAX_ID}.desktop @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/kordax.metainfo.xml.in ${KORDAX_DIST_DIR}/${KORDAX_ID}.metainfo.xml @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/kordax.6.in ${KORDAX_DIST_DIR}/kordax.6 @ONLY)
install(FILES ${KORDAX_DIST_DIR}/${KORDAX_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KORDAX_DIST_DIR}/${KORDAX_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${KORDAX_DIST_DIR}/kordax.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
# The generator draws the icons beside the artwork; they are named after the id here.
foreach(size 32 64 128 256)
  install(FILES ${KORDAX_RUN_DIR}/icons/kordax_${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${KORDAX_ID}.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# `cpack -G DEB` in the build folder: kordax_<version>_<arch>.deb, library dependencies from shlibdeps.
set(CPACK_PACKAGE_NAME kordax)
set(CPACK_PACKAGE_VENDOR "The Kordax developers")
set(CPACK_PACKAGE_CONTACT "The Kordax developers <kordax@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The long description; CPack puts the summary line above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Two laser turrets ride runways along the bottom and right edges of a square
playfield. Ten kinds of enemy pour in, cross the field and hunt the turrets;
destroy each level's quota to move on. The background is a bump-mapped relief
lit in software by coloured lights that travel with the shots. Play alone,
two at once, or two taking turns.")
include(CPack)

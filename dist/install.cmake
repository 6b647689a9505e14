# Install rules: program, data, desktop entry, icons, metadata, man page. debian/ packages what they lay out.
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


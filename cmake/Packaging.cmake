# Installation and the Debian package: the two executables, the desktop launcher,
# the icon in the hicolor theme, the AppStream metainfo and the licence.
# `cmake --install <build>` installs under CMAKE_INSTALL_PREFIX; `cpack -G DEB`
# in the build directory makes stelvo_<version>_<arch>.deb.

include(GNUInstallDirs)

set(STELVO_APP_ID "io.github.stelvo.Stelvo")
set(STELVO_PACKAGING_DIR "${PROJECT_SOURCE_DIR}/packaging")

if(STELVO_WITH_QT)
  install(TARGETS stelvo stelvo-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  install(FILES "${STELVO_PACKAGING_DIR}/${STELVO_APP_ID}.desktop"
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

  configure_file("${STELVO_PACKAGING_DIR}/${STELVO_APP_ID}.metainfo.xml.in"
                 "${PROJECT_BINARY_DIR}/packaging/${STELVO_APP_ID}.metainfo.xml" @ONLY)
  install(FILES "${PROJECT_BINARY_DIR}/packaging/${STELVO_APP_ID}.metainfo.xml"
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  # The scalable icon is drawn by hand after the window's icon; the fixed sizes are
  # rendered at build time by the window's own drawing code.
  install(FILES "${STELVO_PACKAGING_DIR}/${STELVO_APP_ID}.svg"
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  set(STELVO_ICON_SIZES 16 32 48 64 128 256)
  set(icon_dir "${PROJECT_BINARY_DIR}/packaging/icons")
  add_executable(stelvo-render-icon "${STELVO_PACKAGING_DIR}/render_icon.cpp")
  target_link_libraries(stelvo-render-icon PRIVATE stelvo_ui)
  set(icon_files "")
  foreach(side IN LISTS STELVO_ICON_SIZES)
    list(APPEND icon_files "${icon_dir}/${side}.png")
    install(FILES "${icon_dir}/${side}.png"
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${side}x${side}/apps
            RENAME ${STELVO_APP_ID}.png)
  endforeach()
  list(JOIN STELVO_ICON_SIZES ", " icon_size_text)
  add_custom_command(
    OUTPUT ${icon_files}
    COMMAND ${CMAKE_COMMAND} -E make_directory "${icon_dir}"
    # In a sanitizer build the leak check would judge Qt's one-time allocations.
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:stelvo-render-icon> "${icon_dir}" ${STELVO_ICON_SIZES}
    DEPENDS stelvo-render-icon
    COMMENT "Rendering the comet icon at ${icon_size_text} pixels"
    VERBATIM)
  add_custom_target(stelvo_icons ALL DEPENDS ${icon_files})
endif()

install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/stelvo)

set(CPACK_PACKAGE_NAME "stelvo")
set(CPACK_PACKAGE_VENDOR "The Stelvo developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Solar system integrator showing how a comet's material spreads into a stream")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGE_CONTACT "The Stelvo developers")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The summary above is the synopsis line; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Stelvo integrates the Sun, the planets and Pluto together with up to 19,990
massless particles released from a short-period comet, and animates the cloud
while it computes: the comet's material spreads along its orbit into a
meteoroid stream. The package holds the window program stelvo and the headless
companion stelvo-cli for batch runs, CSV exports and PNG frame sequences.")
# A sans serif and a fixed-pitch family of the widths the window was laid out for
# (metric twins of Arial and Courier New); without them the window makes its
# captions fit with narrower or smaller type.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2 | fonts-liberation")
# The Qt 6 and C++ runtime libraries the executables link are added to the dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

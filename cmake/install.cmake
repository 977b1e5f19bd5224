# Installing on Linux (and the Debian package): the programs, their data files, the udev rule with
# its probe, the desktop entry, AppStream metainfo and icons.
include(GNUInstallDirs)

set(BV_APP_ID com.brisvane.bvconfig)
set(BV_DATA_DIR ${CMAKE_INSTALL_DATADIR}/bvconfig)

install(TARGETS bvctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET bvconfig)
  install(TARGETS bvconfig RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# The configurator starts the monitor from its own folder.
if(TARGET bvmon)
  install(TARGETS bvmon RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The program folder of an installed bvconfig is <prefix>/share/bvconfig.
install(FILES ${CMAKE_BINARY_DIR}/config.ini DESTINATION ${BV_DATA_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/manual DESTINATION ${BV_DATA_DIR})
if(BV_LANG_FILE)
  install(FILES ${BV_LANG_FILE} ${BV_PRESET_FILE} DESTINATION ${BV_DATA_DIR})
endif()
file(GLOB BV_INSTALL_CURSORS ${PROJECT_SOURCE_DIR}/resources/images/*.cur)
install(FILES ${BV_INSTALL_CURSORS} DESTINATION ${BV_DATA_DIR}/images)

if(NOT WIN32)
  # The probe reads a node's report descriptor from sysfs; it links only what it uses of bvcore.
  add_executable(bvconfig-udev-probe ${PROJECT_SOURCE_DIR}/packaging/udev/bvconfig-udev-probe.cpp)
  target_link_libraries(bvconfig-udev-probe PRIVATE bvcore)
  install(TARGETS bvconfig-udev-probe RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/bvconfig)

  # The rule names the probe by its installed path, which is only known when installing (the
  # package installs into /usr whatever the build was configured with): bvctl writes it with a
  # placeholder at build time, the install fills it in.
  if(BV_LANG_FILE)
    set(BV_RULE_TEMPLATE ${CMAKE_BINARY_DIR}/udev/70-bvconfig.rules.in)
    add_custom_command(
      OUTPUT ${BV_RULE_TEMPLATE}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/udev
      COMMAND ${BV_LANG_RUNNER} $<TARGET_FILE:bvctl> udev-rule --probe @BV_UDEV_PROBE@ -o ${BV_RULE_TEMPLATE}
      DEPENDS bvctl ${CMAKE_BINARY_DIR}/config.ini
      COMMENT "Making the udev rule"
      VERBATIM)
    add_custom_target(udev_rule ALL DEPENDS ${BV_RULE_TEMPLATE})
    install(CODE "
      file(READ \"${BV_RULE_TEMPLATE}\" rule)
      string(REPLACE \"@BV_UDEV_PROBE@\" \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBEXECDIR}/bvconfig/bvconfig-udev-probe\" rule \"\${rule}\")
      file(WRITE \"${CMAKE_BINARY_DIR}/udev/70-bvconfig.rules\" \"\${rule}\")
      file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/lib/udev/rules.d\" TYPE FILE
           FILES \"${CMAKE_BINARY_DIR}/udev/70-bvconfig.rules\")
    ")
  endif()

  install(FILES ${PROJECT_SOURCE_DIR}/packaging/${BV_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/${BV_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/${BV_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  if(TARGET bvconfig)
    find_package(Qt6 6.4 REQUIRED COMPONENTS Gui Svg)
    add_executable(bvconfig-render-icon ${PROJECT_SOURCE_DIR}/packaging/tools/render_icon.cpp)
    target_link_libraries(bvconfig-render-icon PRIVATE Qt6::Gui Qt6::Svg)
    set(BV_ICON_PNGS)
    foreach(size 48 128 256)
      set(png ${CMAKE_BINARY_DIR}/icons/${size}/${BV_APP_ID}.png)
      add_custom_command(
        OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}
        COMMAND bvconfig-render-icon ${PROJECT_SOURCE_DIR}/packaging/icons/${BV_APP_ID}.svg ${png} ${size}
        DEPENDS bvconfig-render-icon ${PROJECT_SOURCE_DIR}/packaging/icons/${BV_APP_ID}.svg
        COMMENT "Rendering the ${size} px icon"
        VERBATIM)
      list(APPEND BV_ICON_PNGS ${png})
      install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(icons ALL DEPENDS ${BV_ICON_PNGS})
  endif()

  # The installed tree and the package, checked in a throw-away prefix (needs the window).
  if(BV_BUILD_TESTS AND TARGET bvconfig AND BV_LANG_FILE AND NOT BV_SANITIZE)
    add_test(NAME install_and_package
             COMMAND bash ${PROJECT_SOURCE_DIR}/tests/install/check_install.sh ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR})
    set_tests_properties(install_and_package PROPERTIES LABELS install TIMEOUT 300)
  endif()

  # make package: a Debian package of the above, installed into /usr.
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME bvconfig)
  set(CPACK_PACKAGE_VENDOR Brisvane)
  set(CPACK_PACKAGE_CONTACT "bvconfig maintainers <bvconfig@brisvane.com>")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configurator for the Brisvane wired gaming mouse")
  set(CPACK_PACKAGE_DESCRIPTION
      "Assigns the mouse's seven buttons and two wheel directions, sets its four CPI levels, report \
rate and light, records macros, keeps five profiles and two on-device modes, and writes them into \
the mouse. Comes with bvctl, a scriptable command-line tool, and a udev rule that lets the user at \
the local seat use the mouse without root.")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # qt6-wayland: on Wayland the recorders can then ask the compositor to let its shortcuts wait.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev, qt6-wayland, qt6-translations-l10n")
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
      ${PROJECT_SOURCE_DIR}/packaging/debian/postinst ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
  include(CPack)
endif()

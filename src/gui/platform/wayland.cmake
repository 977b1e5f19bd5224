# Wayland: the compositor's keyboard shortcuts wait while a key recorder listens, where the
# compositor offers keyboard-shortcuts-inhibit. Built on Linux when libwayland-client,
# wayland-scanner, wayland-protocols and Qt's private platform headers are found; otherwise the
# recorders keep only the keyboard grab. Sets BV_WAYLAND_INHIBIT.
set(BV_WAYLAND_INHIBIT OFF)
if(NOT (UNIX AND NOT APPLE))
  return()
endif()

find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(WAYLAND_CLIENT QUIET IMPORTED_TARGET wayland-client)
  pkg_get_variable(BV_WAYLAND_SCANNER wayland-scanner wayland_scanner)
  pkg_get_variable(BV_WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
endif()
get_target_property(_bv_qt_gui_private_dirs Qt6::GuiPrivate INTERFACE_INCLUDE_DIRECTORIES)
find_file(BV_QPA_NATIVE_INTERFACE_H qpa/qplatformnativeinterface.h PATHS ${_bv_qt_gui_private_dirs} NO_DEFAULT_PATH)
set(_bv_inhibit_xml ${BV_WAYLAND_PROTOCOLS_DIR}/unstable/keyboard-shortcuts-inhibit/keyboard-shortcuts-inhibit-unstable-v1.xml)
if(NOT WAYLAND_CLIENT_FOUND OR NOT BV_WAYLAND_SCANNER OR NOT EXISTS "${_bv_inhibit_xml}" OR NOT BV_QPA_NATIVE_INTERFACE_H)
  message(STATUS "Wayland keyboard-shortcuts-inhibit: off (needs libwayland-dev, wayland-protocols, qt6-base-private-dev)")
  return()
endif()
message(STATUS "Wayland keyboard-shortcuts-inhibit: on")
set(BV_WAYLAND_INHIBIT ON)

# The generated marshalling code is C.
enable_language(C)

set(BV_WAYLAND_GEN_DIR ${CMAKE_CURRENT_BINARY_DIR}/wayland-protocols)
set(_bv_inhibit_name keyboard-shortcuts-inhibit-unstable-v1)
foreach(kind client-header server-header private-code)
  if(kind STREQUAL "private-code")
    set(out ${BV_WAYLAND_GEN_DIR}/${_bv_inhibit_name}-protocol.c)
  else()
    string(REPLACE "-header" "" side ${kind})
    set(out ${BV_WAYLAND_GEN_DIR}/${_bv_inhibit_name}-${side}-protocol.h)
  endif()
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${BV_WAYLAND_GEN_DIR}
    COMMAND ${BV_WAYLAND_SCANNER} ${kind} ${_bv_inhibit_xml} ${out}
    DEPENDS ${_bv_inhibit_xml}
    VERBATIM)
endforeach()

# Qt-free, so that its test needs no window system.
add_library(bvwayland STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/platform/wayland_shortcuts_inhibit.cpp
  ${BV_WAYLAND_GEN_DIR}/${_bv_inhibit_name}-client-protocol.h
  ${BV_WAYLAND_GEN_DIR}/${_bv_inhibit_name}-protocol.c)
target_include_directories(bvwayland PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} PRIVATE ${BV_WAYLAND_GEN_DIR})
target_link_libraries(bvwayland PUBLIC PkgConfig::WAYLAND_CLIENT)

# ---- test: a fake compositor in the same process, on libwayland-server --------------------
if(BV_BUILD_TESTS AND NOT BV_FUZZ)
  pkg_check_modules(WAYLAND_SERVER QUIET IMPORTED_TARGET wayland-server)
  if(NOT WAYLAND_SERVER_FOUND)
    message(STATUS "Wayland keyboard-shortcuts-inhibit test: off (needs libwayland-dev)")
    return()
  endif()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  add_executable(wayland_shortcuts_inhibit_tests
    ${PROJECT_SOURCE_DIR}/tests/gui/wayland/fake_compositor.cpp
    ${PROJECT_SOURCE_DIR}/tests/gui/wayland/shortcuts_inhibit_test.cpp
    ${BV_WAYLAND_GEN_DIR}/${_bv_inhibit_name}-server-protocol.h)
  target_include_directories(wayland_shortcuts_inhibit_tests PRIVATE ${BV_WAYLAND_GEN_DIR})
  target_link_libraries(wayland_shortcuts_inhibit_tests PRIVATE bvwayland bvtest_sandbox PkgConfig::WAYLAND_SERVER
                        GTest::gtest GTest::gtest_main Threads::Threads)
  gtest_discover_tests(wayland_shortcuts_inhibit_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS gui)
endif()

# Installation and packages. On Linux, `cmake --install` puts tolvex, its man
# page and its docs under the usual directories and CPack makes a Debian
# package of them; for Windows, tolvex.exe, the README and the licence sit
# side by side in a zip. Nothing of the tests is installed.
include(GNUInstallDirs)

if(WIN32)
  # Windows users unpack a folder and run the program from it.
  install(TARGETS tolvex RUNTIME DESTINATION .)
  install(FILES README.md DESTINATION .)
  install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
else()
  # Man pages are installed compressed, as Debian's policy asks; -n keeps
  # the name and time out, so the same page gives the same bytes.
  find_program(GZIP gzip REQUIRED)
  set(man_page ${CMAKE_CURRENT_BINARY_DIR}/tolvex.1.gz)
  add_custom_command(
    OUTPUT ${man_page}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/docs/tolvex.1
            ${CMAKE_CURRENT_BINARY_DIR}/tolvex.1
    COMMAND ${GZIP} -9nf ${CMAKE_CURRENT_BINARY_DIR}/tolvex.1
    DEPENDS docs/tolvex.1
    COMMENT "Compressing the man page"
    VERBATIM)
  add_custom_target(man_page ALL DEPENDS ${man_page})

  install(TARGETS tolvex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)
endif()

set(CPACK_PACKAGE_NAME tolvex)
set(CPACK_PACKAGE_VENDOR "the tolvex developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "print summaries of god-design files")
# Lines of the package's long description, kept short for `apt show`.
set(CPACK_PACKAGE_DESCRIPTION "\
tolvex reads the binary files in which a fantasy strategy game keeps one
player's design of a god, and prints a seven-line report for each: the
captions, the nation, the body with its hit points, the magic paths, the
dominion, the scales and the sleep state. It expands wildcards itself and
only reads its files.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME tolvex-${PROJECT_VERSION}-win64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "the tolvex developers")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)

# Installs this build into a temporary prefix and checks what lands there.
if(BUILD_TESTING)
  find_program(BASH bash REQUIRED)
  add_test(NAME install
    COMMAND ${BASH} ${CMAKE_CURRENT_SOURCE_DIR}/tests/install/install_test.sh
            ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR} ${CMAKE_CURRENT_SOURCE_DIR} ${test_platform}
            ${CMAKE_CROSSCOMPILING_EMULATOR})
  # About a second natively, under 10 s under wine (tests/CMakeLists.txt).
  tolvex_timeout(60 120 install)
endif()

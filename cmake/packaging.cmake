# Installation and packages. On Linux, `cmake --install` puts tolvex, its man
# page and its docs under the usual directories and CPack makes a Debian
# package of them; for Windows, tolvex.exe and its docs sit side by side in a
# zip. Nothing of the tests is installed.
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/changelog.cmake)

set(TOLVEX_MAINTAINER "tolvex developers <tolvex@tolvex.invalid>"
    CACHE STRING "The Debian package's Maintainer, as: Name <address>")

# The man page takes the version and the changelog's date at configure time.
set(docs ${CMAKE_CURRENT_BINARY_DIR}/docs)
configure_file(docs/tolvex.1.in ${docs}/tolvex.1 @ONLY)

if(WIN32)
  # Windows users unpack a folder and read its text files with Notepad, so
  # they get CR LF line ends.
  configure_file(docs/README-windows.txt.in ${docs}/README.txt @ONLY NEWLINE_STYLE WIN32)
  configure_file(LICENSE ${docs}/LICENSE.txt @ONLY NEWLINE_STYLE WIN32)
  configure_file(changelog ${docs}/changelog.txt @ONLY NEWLINE_STYLE WIN32)
  install(TARGETS tolvex RUNTIME DESTINATION .)
  install(FILES ${docs}/README.txt ${docs}/LICENSE.txt ${docs}/changelog.txt DESTINATION .)
else()
  # Man pages and changelogs are installed compressed, as Debian's policy
  # asks; -n keeps the name and time out, so the same text gives the same
  # bytes.
  find_program(GZIP gzip REQUIRED)
  set(compressed ${docs}/tolvex.1.gz ${docs}/changelog.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${GZIP} -9nc ${docs}/tolvex.1 > ${docs}/tolvex.1.gz
    COMMAND ${GZIP} -9nc ${CMAKE_CURRENT_SOURCE_DIR}/changelog > ${docs}/changelog.gz
    DEPENDS ${docs}/tolvex.1 changelog
    COMMENT "Compressing the man page and the changelog")
  add_custom_target(docs ALL DEPENDS ${compressed})

  install(TARGETS tolvex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # A stripped install also drops the compilers' notes, as Debian's own
  # packages do.
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(
        COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tolvex\"
        COMMAND_ERROR_IS_FATAL ANY)
    endif()")
  install(FILES ${docs}/tolvex.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES README.md copyright ${docs}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES cmake/tolvex.lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
          RENAME tolvex)
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
# A package holds only what tools/package built for it, not every target.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME tolvex-${PROJECT_VERSION}-win64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TOLVEX_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)

if(BUILD_TESTING)
  find_program(BASH bash REQUIRED)
  # Installs this build into a temporary prefix and checks what lands there.
  add_test(NAME install
    COMMAND ${BASH} ${CMAKE_CURRENT_SOURCE_DIR}/tests/install/install_test.sh
            ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR} ${CMAKE_CURRENT_SOURCE_DIR} ${test_platform}
            ${PROJECT_VERSION} ${CMAKE_CROSSCOMPILING_EMULATOR})
  # Runs every example of the README and the man page.
  add_test(NAME docs.examples
    COMMAND ${BASH} ${CMAKE_CURRENT_SOURCE_DIR}/tests/docs/examples.sh ${test_platform}
            ${CMAKE_CURRENT_SOURCE_DIR}/samples ${CMAKE_CURRENT_SOURCE_DIR}/README.md
            ${docs}/tolvex.1 ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:tolvex>)
  # About a second each natively, under 10 s and 60 s under wine (tests/CMakeLists.txt).
  tolvex_timeout(60 120 install)
  tolvex_timeout(60 300 docs.examples)
endif()

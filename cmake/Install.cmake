# Install rules and packages.
#
# Two layouts come from one build, as two install components:
#   system    the Debian package: programs in bin/, the help file and the
#             shipped history in share/peridon/, icon, menu entry, metainfo
#             and man pages where the desktop looks for them;
#   portable  one folder (the .tar.gz, or the ZIP on Windows): the programs,
#             the help file, the shipped history, a database and the
#             "portable" marker side by side, unpacked and run as it is.
include(GNUInstallDirs)

set(PERIDON_APP_ID jp.peridon.Numbers3Peridon)
set(PERIDON_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(PERIDON_HELP_FILE "${CMAKE_BINARY_DIR}/ナンバーズ3ペリドン.chm")
set(PERIDON_SHIPPED_HISTORY ${PROJECT_SOURCE_DIR}/data/numbers3-history.csv)
set(PERIDON_PORTABLE_DIR peridon)
# Without the GUI (PERIDON_GUI=OFF) only the command-line program, the shipped
# history and their manual page are installed.
set(PERIDON_PROGRAMS peridon-cli)
set(PERIDON_DATA_FILES ${PERIDON_SHIPPED_HISTORY})
if(PERIDON_GUI)
  list(PREPEND PERIDON_PROGRAMS peridon)
  list(PREPEND PERIDON_DATA_FILES ${PERIDON_HELP_FILE})
endif()

# --- system layout ------------------------------------------------------------
if(NOT WIN32)
  install(TARGETS ${PERIDON_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT system)
  install(FILES ${PERIDON_DATA_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/peridon COMPONENT system)
  if(PERIDON_GUI)
    foreach(size ${PERIDON_ICON_SIZES})
      install(FILES ${PERIDON_PACKAGING_DIR}/icons/peridon-${size}.png
              DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
              RENAME ${PERIDON_APP_ID}.png COMPONENT system)
    endforeach()
    install(FILES ${PERIDON_PACKAGING_DIR}/icons/peridon.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
            RENAME ${PERIDON_APP_ID}.svg COMPONENT system)
    install(FILES ${PERIDON_PACKAGING_DIR}/${PERIDON_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT system)
    install(FILES ${PERIDON_PACKAGING_DIR}/${PERIDON_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT system)
  endif()

  # Manual pages and the package's changelog are installed compressed, as
  # Debian's policy asks; gzip -n keeps the files reproducible.
  find_program(GZIP_PROGRAM gzip REQUIRED)
  set(PERIDON_GZIPPED)
  foreach(source peridon.1 peridon-cli.1 deb/changelog)
    get_filename_component(name ${source} NAME)
    set(output ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
    add_custom_command(
      OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
      COMMAND ${GZIP_PROGRAM} -9 -n -c ${PERIDON_PACKAGING_DIR}/${source} > ${output}
      DEPENDS ${PERIDON_PACKAGING_DIR}/${source}
      VERBATIM)
    list(APPEND PERIDON_GZIPPED ${output})
  endforeach()
  add_custom_target(peridon_packaging_files ALL DEPENDS ${PERIDON_GZIPPED})
  install(FILES ${CMAKE_BINARY_DIR}/packaging/peridon.1.gz ${CMAKE_BINARY_DIR}/packaging/peridon-cli.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT system)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz ${PERIDON_PACKAGING_DIR}/deb/copyright
          DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT system)
endif()

# --- portable folder ------------------------------------------------------------
install(TARGETS ${PERIDON_PROGRAMS} RUNTIME DESTINATION ${PERIDON_PORTABLE_DIR} COMPONENT portable)
install(FILES ${PERIDON_DATA_FILES} DESTINATION ${PERIDON_PORTABLE_DIR} COMPONENT portable)
file(WRITE ${CMAKE_BINARY_DIR}/packaging/portable
     "このファイルがあると、データベースと設定ファイルをこのフォルダーに置きます。\n")
install(FILES ${CMAKE_BINARY_DIR}/packaging/portable DESTINATION ${PERIDON_PORTABLE_DIR}
        COMPONENT portable)

# Qt's deployment scripts need windeployqt, which a cross-build lacks.
if(WIN32 AND PERIDON_GUI)
  include(cmake/WindowsDeploy.cmake)
endif()

# The folder's database, made from the shipped history by the program built
# here (so it is the same file a first start would make). On Windows the copy
# in the folder runs, after the deployment has put the DLLs it needs beside it.
if(WIN32)
  set(PERIDON_INSTALL_CLI "\${folder}/peridon-cli.exe")
else()
  set(PERIDON_INSTALL_CLI "$<TARGET_FILE:peridon-cli>")
endif()
install(CODE "
  set(folder \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${PERIDON_PORTABLE_DIR}\")
  file(REMOVE \"\${folder}/Numbers3Peridon.mdb\")
  execute_process(COMMAND \"${PERIDON_INSTALL_CLI}\" import \"${PERIDON_SHIPPED_HISTORY}\"
                          --db \"\${folder}/Numbers3Peridon.mdb\"
                  RESULT_VARIABLE rc OUTPUT_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR \"the portable folder's database could not be made (\${rc})\")
  endif()
" COMPONENT portable)

# --- packages ---------------------------------------------------------------------
set(CPACK_PACKAGE_NAME peridon)
set(CPACK_PACKAGE_VENDOR "Peridon developers")
set(CPACK_PACKAGE_CONTACT "Peridon developers <developers@peridon.jp>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Numbers 3 lottery analysis and prediction")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_THREADS 0)
# The per-generator choices (which component, file names) are in
# CPackOptions.cmake, read by cpack for each generator it runs.
configure_file(${PROJECT_SOURCE_DIR}/cmake/CPackOptions.cmake.in
               ${CMAKE_BINARY_DIR}/CPackOptions.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackOptions.cmake)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB TGZ)
endif()

set(CPACK_DEBIAN_PACKAGE_NAME peridon)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the libraries' own dependencies do not bring: the SQLite driver Qt
# Help opens its help file with, fonts with Japanese glyphs and Qt's Japanese
# texts for its dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, qt6-translations-l10n, fonts-ipafont-gothic | fonts-japanese-gothic, fonts-ipafont-mincho | fonts-japanese-mincho")
# The synopsis comes from CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the body
# (cpack indents it; an empty line becomes a paragraph break).
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Keeps the history of Numbers 3 winning numbers in an encrypted database,
shows fifteen statistical analysis windows over it and reads candidate
digits from four prediction methods. Windows and help are in Japanese.

peridon-cli works on the same database from the command line.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)

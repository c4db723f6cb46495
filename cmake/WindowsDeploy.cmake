# Windows: the portable folder as a ZIP, with everything the programs load at
# run time. Written for Visual Studio 2022 with Qt 6 (installer or vcpkg) and
# vcpkg's sqlcipher; not yet tried on a Windows machine. CMAKE_INSTALL_BINDIR
# is the portable folder (set before Qt is found), so Qt's deployment puts
# the Qt DLLs beside peridon.exe.
if(Qt6_VERSION VERSION_GREATER_EQUAL 6.5)
  # Qt's translations come along: the program shows Qt's dialogs in Japanese.
  qt_generate_deploy_app_script(TARGET peridon OUTPUT_SCRIPT PERIDON_DEPLOY_SCRIPT
                                NO_UNSUPPORTED_PLATFORM_ERROR)
else()
  qt_generate_deploy_app_script(TARGET peridon FILENAME_VARIABLE PERIDON_DEPLOY_SCRIPT
                                NO_UNSUPPORTED_PLATFORM_ERROR)
endif()
install(SCRIPT ${PERIDON_DEPLOY_SCRIPT} COMPONENT portable)

# Qt Help opens its help file through Qt's SQLite SQL driver, which nothing in
# the program names: deploy it explicitly, where the deployment put the other
# plugins.
if(NOT TARGET Qt6::QSQLiteDriverPlugin)
  message(FATAL_ERROR "Qt's SQLite SQL driver (Qt6::QSQLiteDriverPlugin) is needed by the help viewer")
endif()
install(CODE "
  include(\"${QT_DEPLOY_SUPPORT}\")
  file(INSTALL \"$<TARGET_FILE:Qt6::QSQLiteDriverPlugin>\"
       DESTINATION \"\${QT_DEPLOY_PREFIX}/\${QT_DEPLOY_PLUGINS_DIR}/sqldrivers\")
" COMPONENT portable)

# SQLCipher and OpenSSL's libcrypto when they are DLLs (vcpkg's dynamic
# triplets), and whatever else the two programs link at run time as CMake
# targets.
set(PERIDON_RUNTIME_DLLS)
foreach(target sqlcipher::sqlcipher OpenSSL::Crypto)
  if(TARGET ${target})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "SHARED_LIBRARY")
      list(APPEND PERIDON_RUNTIME_DLLS $<TARGET_FILE:${target}>)
    endif()
  endif()
endforeach()
install(CODE "
  set(dlls \"${PERIDON_RUNTIME_DLLS};$<TARGET_RUNTIME_DLLS:peridon>;$<TARGET_RUNTIME_DLLS:peridon-cli>\")
  list(REMOVE_ITEM dlls \"\")
  list(REMOVE_DUPLICATES dlls)
  if(dlls)
    file(INSTALL \${dlls} DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${PERIDON_PORTABLE_DIR}\")
  endif()
" COMPONENT portable)

# SQLCipher, linked statically so that its sqlite3_* symbols never meet the
# system SQLite that Qt Help's SQL plugin loads at run time.
#
# A package manager's CMake package (vcpkg's port on Windows) is used where
# there is one; Debian describes SQLCipher through pkg-config; otherwise the
# header and library are looked up directly.
find_package(OpenSSL REQUIRED COMPONENTS Crypto)
find_package(Threads REQUIRED)

add_library(sqlcipher_static INTERFACE)
target_compile_definitions(sqlcipher_static INTERFACE SQLITE_HAS_CODEC)

find_package(sqlcipher CONFIG QUIET)
if(sqlcipher_FOUND AND TARGET sqlcipher::sqlcipher)
  target_link_libraries(sqlcipher_static INTERFACE sqlcipher::sqlcipher)
  # vcpkg installs SQLCipher's header as include/sqlcipher/sqlite3.h, while
  # the include/ folder above it may hold plain SQLite's sqlite3.h (Qt's SQL
  # driver brings it): name SQLCipher's file exactly (core/store/Sqlite.h).
  get_target_property(_sqlcipher_dirs sqlcipher::sqlcipher INTERFACE_INCLUDE_DIRECTORIES)
  set(SQLCIPHER_HEADER "")
  foreach(_dir IN LISTS _sqlcipher_dirs)
    if(NOT SQLCIPHER_HEADER AND EXISTS "${_dir}/sqlcipher/sqlite3.h")
      set(SQLCIPHER_HEADER "${_dir}/sqlcipher/sqlite3.h")
    endif()
  endforeach()
  if(NOT SQLCIPHER_HEADER)
    message(FATAL_ERROR "SQLCipher's sqlite3.h not found under ${_sqlcipher_dirs}")
  endif()
  target_compile_definitions(sqlcipher_static INTERFACE
                             "PERIDON_SQLCIPHER_HEADER=\"${SQLCIPHER_HEADER}\"")
else()
  find_package(PkgConfig QUIET)
  if(PkgConfig_FOUND)
    pkg_check_modules(SQLCIPHER sqlcipher)
  endif()
  if(NOT SQLCIPHER_FOUND)
    find_path(SQLCIPHER_INCLUDE_DIRS sqlite3.h PATH_SUFFIXES sqlcipher REQUIRED)
  endif()
  find_library(SQLCIPHER_ARCHIVE NAMES libsqlcipher.a sqlcipher_static sqlcipher REQUIRED)
  target_include_directories(sqlcipher_static INTERFACE ${SQLCIPHER_INCLUDE_DIRS})
  target_link_libraries(sqlcipher_static INTERFACE ${SQLCIPHER_ARCHIVE} OpenSSL::Crypto
                        Threads::Threads ${CMAKE_DL_LIBS})
endif()

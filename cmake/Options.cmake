# Compiler options every target of the project links: warnings, UTF-8
# sources under MSVC (the sources hold Japanese text and identifiers), and the
# program's version for the About window.
add_library(peridon_options INTERFACE)
target_compile_definitions(peridon_options INTERFACE
  PERIDON_VERSION="${PROJECT_VERSION}"
  QT_NO_CAST_FROM_BYTEARRAY)
if(MSVC)
  target_compile_options(peridon_options INTERFACE /W4 /utf-8 /permissive-)
  if(PERIDON_WERROR)
    target_compile_options(peridon_options INTERFACE /WX)
  endif()
else()
  target_compile_options(peridon_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                         -Wno-missing-field-initializers)
  if(PERIDON_WERROR)
    target_compile_options(peridon_options INTERFACE -Werror)
  endif()
endif()

# Sanitizers as their own interface target, linked by every target when
# PERIDON_SANITIZE is on (AddressSanitizer alone under MSVC).
add_library(peridon_sanitize INTERFACE)
if(PERIDON_SANITIZE)
  if(MSVC)
    target_compile_options(peridon_sanitize INTERFACE /fsanitize=address)
  else()
    target_compile_options(peridon_sanitize INTERFACE -fsanitize=address,undefined
                           -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(peridon_sanitize INTERFACE -fsanitize=address,undefined)
  endif()
endif()
target_link_libraries(peridon_options INTERFACE peridon_sanitize)

# The program's own sources build every QString from an explicit u"..."_s
# literal or a stated conversion. Tests keep the implicit conversion, where
# short ASCII arguments read better.
add_library(peridon_strict_strings INTERFACE)
target_compile_definitions(peridon_strict_strings INTERFACE QT_NO_CAST_FROM_ASCII)

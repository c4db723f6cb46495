#pragma once

// SQLCipher's sqlite3.h. Where a plain SQLite header could be found first on
// the include path (a package manager that installs SQLite's header in the
// folder above SQLCipher's), the build names SQLCipher's file exactly.
#ifdef PERIDON_SQLCIPHER_HEADER
#include PERIDON_SQLCIPHER_HEADER
#else
#include <sqlite3.h>
#endif

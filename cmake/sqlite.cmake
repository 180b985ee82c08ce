# SQLite, compiled in from its amalgamation, which scripts/setup.sh fetches,
# checks against its pinned SHA-256 and keeps under build/deps: one copy for
# the native and the Windows tree. A static library of plain C; only the
# targets that write or read the history link it.
set(VELTRANO_SQLITE_VERSION 3.53.2)
set(VELTRANO_SQLITE_DIR ${CMAKE_SOURCE_DIR}/build/deps/sqlite-${VELTRANO_SQLITE_VERSION}
  CACHE PATH "Folder holding sqlite3.c and sqlite3.h of SQLite ${VELTRANO_SQLITE_VERSION}")
if(NOT EXISTS ${VELTRANO_SQLITE_DIR}/sqlite3.c OR NOT EXISTS ${VELTRANO_SQLITE_DIR}/sqlite3.h)
  message(FATAL_ERROR "SQLite ${VELTRANO_SQLITE_VERSION}'s amalgamation (sqlite3.c, sqlite3.h) is "
    "not in ${VELTRANO_SQLITE_DIR}: run scripts/setup.sh, which fetches and checks it.")
endif()

add_library(veltrano_sqlite STATIC ${VELTRANO_SQLITE_DIR}/sqlite3.c)
target_include_directories(veltrano_sqlite SYSTEM PUBLIC ${VELTRANO_SQLITE_DIR})
# Serialized mode, so a connection handed between threads stays safe; no
# extension loading (no code from outside the exe), foreign keys on, string
# literals only in single quotes, none of the deprecated interfaces. No
# lookaside and no page-cache slots made ahead per connection: the writer
# idles for a minute between rows, so what they save in speed is nothing to
# it, and the memory they hold would stay with the program for its life.
target_compile_definitions(veltrano_sqlite PRIVATE
  SQLITE_THREADSAFE=1
  SQLITE_OMIT_LOAD_EXTENSION
  SQLITE_DEFAULT_FOREIGN_KEYS=1
  SQLITE_DQS=0
  SQLITE_OMIT_DEPRECATED
  SQLITE_OMIT_SHARED_CACHE
  SQLITE_DEFAULT_MEMSTATUS=0
  SQLITE_DEFAULT_WAL_SYNCHRONOUS=1
  SQLITE_DEFAULT_LOOKASIDE=0,0
  SQLITE_DEFAULT_PCACHE_INITSZ=0
  SQLITE_LIKE_DOESNT_MATCH_BLOBS)
# Third-party code, tested by its authors: optimised in every tree, without
# the sanitizers, the warnings or debug information the directory gives the
# project's own code, so that it compiles and runs quickly.
set_target_properties(veltrano_sqlite PROPERTIES COMPILE_OPTIONS "-O2;-g0")
if(NOT WIN32)
  find_package(Threads REQUIRED)
  target_link_libraries(veltrano_sqlite PUBLIC Threads::Threads)
endif()

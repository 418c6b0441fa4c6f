// The registry's database: one SQLite file shared by every process of the
// user. Each process keeps one connection, used by one thread at a time.
// Writers take the database's write lock at the start of their transaction
// and wait for each other, so that concurrent writers lose nothing; readers
// see the last committed state and never wait for writers (WAL journal).
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "twlwin/types.h"

namespace twl::registry {

// A failed SQLite call inside a transaction; carries the Win32 code the
// registry call answers with.
struct DatabaseError {
  LONG code;
};

// One prepared statement in use: bind, step, read columns. Reset when done.
class Statement {
 public:
  // `inUse` is the cache's busy flag, cleared when the statement is done;
  // without one the statement is finalized instead.
  Statement(sqlite3_stmt* statement, bool* inUse) : statement_(statement), inUse_(inUse) {}
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement();

  Statement& Bind(int index, int64_t value);
  Statement& Bind(int index, std::string_view text);
  Statement& BindBlob(int index, const void* data, size_t size);

  // Advances to the next row; false when there is none.
  bool Step();
  // Runs a statement that returns no rows.
  void Run();

  int64_t Int(int column) const;
  std::string Text(int column) const;
  std::vector<BYTE> Blob(int column) const;

 private:
  sqlite3_stmt* statement_;
  bool* inUse_;
};

// An open transaction on the process's connection.
class Transaction {
 public:
  explicit Transaction(sqlite3* db) : db_(db) {}
  Statement Prepare(const char* sql);
  int64_t LastInsertId() const { return sqlite3_last_insert_rowid(db_); }

 private:
  sqlite3* db_;
};

enum class Access { Read, Write };

// Runs `work` in one transaction and commits it; any failure rolls it back.
// Answers the Win32 code of the outcome: `work`'s own answer, or the code of
// the database failure that stopped it.
LONG RunTransaction(Access access, const std::function<LONG(Transaction&)>& work);

// Where the database lives: $TWL_REGISTRY, else the user's configuration
// folder (velbrook/registry.sqlite below $XDG_CONFIG_HOME or ~/.config).
std::string DatabasePath();

// The ids of the rows of the two top keys.
constexpr int64_t kCurrentUserRow = 1;
constexpr int64_t kLocalMachineRow = 2;

}  // namespace twl::registry

// Thin helpers over the SQLite C API for the registry store: a prepared
// statement that finalizes itself, a write transaction that rolls back unless
// committed, and the Win32 code each SQLite failure stands for.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "platform/error_codes.h"

namespace vorela::posix {

// The Win32 code for an SQLite result; `writing` picks 1013 over 1012 for
// failures that have no closer match.
Win32Error FromSqlite(int rc, bool writing);

// Prepared statements kept for the life of one connection, by the address of
// their SQL text (always a literal). Clear before the connection closes.
class StatementCache {
 public:
  StatementCache() = default;
  ~StatementCache() { Clear(); }
  StatementCache(const StatementCache&) = delete;
  StatementCache& operator=(const StatementCache&) = delete;

  // The prepared statement for sql, or null with *rc set.
  sqlite3_stmt* Get(sqlite3* db, const char* sql, int* rc);
  void Clear();

 private:
  std::map<const char*, sqlite3_stmt*> statements_;
};

class Statement {
 public:
  Statement(sqlite3* db, const char* sql);
  // A statement from cache: reset and unbound again when this object ends.
  Statement(StatementCache& cache, sqlite3* db, const char* sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  int prepare_result() const { return prepare_rc_; }
  Statement& Bind(int index, std::int64_t value);
  Statement& Bind(int index, std::string_view text);
  Statement& BindBlob(int index, std::string_view bytes);
  // SQLITE_ROW, SQLITE_DONE or an error.
  int Step();
  std::int64_t Int(int column) const;
  std::string Text(int column) const;
  std::string Blob(int column) const;

 private:
  sqlite3_stmt* stmt_ = nullptr;
  int prepare_rc_ = SQLITE_OK;
  bool cached_ = false;
};

// BEGIN IMMEDIATE ... COMMIT; rolls back when destroyed uncommitted.
class WriteTransaction {
 public:
  explicit WriteTransaction(sqlite3* db);
  ~WriteTransaction();
  WriteTransaction(const WriteTransaction&) = delete;
  WriteTransaction& operator=(const WriteTransaction&) = delete;

  int begin_result() const { return begin_rc_; }
  int Commit();

 private:
  sqlite3* db_;
  int begin_rc_;
  bool open_ = false;
};

// Runs body (returning a Win32Error) inside one write transaction: committed
// when body succeeds, rolled back when it fails, when it throws and when the
// commit fails. A transaction that cannot begin runs nothing.
template <typename Body>
Win32Error InWriteTransaction(sqlite3* db, Body&& body) {
  WriteTransaction txn(db);
  if (txn.begin_result() != SQLITE_OK) return FromSqlite(txn.begin_result(), true);
  if (Win32Error rc = body(); rc != kErrorSuccess) return rc;
  if (int rc = txn.Commit(); rc != SQLITE_OK) return FromSqlite(rc, true);
  return kErrorSuccess;
}

// A read transaction, so that multi-statement reads see one state of the store.
class ReadTransaction {
 public:
  explicit ReadTransaction(sqlite3* db);
  ~ReadTransaction();
  ReadTransaction(const ReadTransaction&) = delete;
  ReadTransaction& operator=(const ReadTransaction&) = delete;
  int begin_result() const { return begin_rc_; }

 private:
  sqlite3* db_;
  int begin_rc_;
};

}  // namespace vorela::posix

#include "platform/posix/registry_sqlite_db.h"

namespace vorela::posix {

Win32Error FromSqlite(int rc, bool writing) {
  switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return kErrorSuccess;
    case SQLITE_FULL:
      return kErrorDiskFull;
    case SQLITE_NOMEM:
      return kErrorNotEnoughMemory;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return kErrorRegistryCorrupt;
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_AUTH:
      return kErrorAccessDenied;
    case SQLITE_TOOBIG:
      return kErrorInvalidParameter;
    default:
      return writing ? kErrorCantWrite : kErrorCantRead;
  }
}

Statement::Statement(sqlite3* db, const char* sql) {
  prepare_rc_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
}

Statement::Statement(StatementCache& cache, sqlite3* db, const char* sql)
    : cached_(true) {
  stmt_ = cache.Get(db, sql, &prepare_rc_);
}

Statement::~Statement() {
  if (!cached_) {
    sqlite3_finalize(stmt_);
  } else if (stmt_) {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }
}

sqlite3_stmt* StatementCache::Get(sqlite3* db, const char* sql, int* rc) {
  auto it = statements_.find(sql);
  if (it != statements_.end()) {
    *rc = SQLITE_OK;
    return it->second;
  }
  sqlite3_stmt* stmt = nullptr;
  *rc = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt,
                           nullptr);
  if (*rc != SQLITE_OK) return nullptr;
  statements_[sql] = stmt;
  return stmt;
}

void StatementCache::Clear() {
  for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
  statements_.clear();
}

Statement& Statement::Bind(int index, std::int64_t value) {
  if (stmt_) sqlite3_bind_int64(stmt_, index, value);
  return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
  if (stmt_) {
    sqlite3_bind_text64(stmt_, index, text.data(), text.size(),
                        SQLITE_TRANSIENT, SQLITE_UTF8);
  }
  return *this;
}

Statement& Statement::BindBlob(int index, std::string_view bytes) {
  // A zero-length blob must still be a blob, not NULL.
  if (stmt_)
    sqlite3_bind_blob64(stmt_, index, bytes.empty() ? "" : bytes.data(),
                        bytes.size(), SQLITE_TRANSIENT);
  return *this;
}

int Statement::Step() { return stmt_ ? sqlite3_step(stmt_) : prepare_rc_; }

std::int64_t Statement::Int(int column) const {
  return sqlite3_column_int64(stmt_, column);
}

std::string Statement::Text(int column) const {
  const unsigned char* text = sqlite3_column_text(stmt_, column);
  int size = sqlite3_column_bytes(stmt_, column);
  return text ? std::string(reinterpret_cast<const char*>(text), size)
              : std::string();
}

std::string Statement::Blob(int column) const {
  const void* blob = sqlite3_column_blob(stmt_, column);
  int size = sqlite3_column_bytes(stmt_, column);
  return blob ? std::string(static_cast<const char*>(blob), size)
              : std::string();
}

WriteTransaction::WriteTransaction(sqlite3* db) : db_(db) {
  begin_rc_ = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  open_ = begin_rc_ == SQLITE_OK;
}

WriteTransaction::~WriteTransaction() {
  if (open_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

int WriteTransaction::Commit() {
  int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) open_ = false;
  return rc;
}

ReadTransaction::ReadTransaction(sqlite3* db) : db_(db) {
  begin_rc_ = sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
}

ReadTransaction::~ReadTransaction() {
  if (begin_rc_ == SQLITE_OK)
    sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
}

}  // namespace vorela::posix

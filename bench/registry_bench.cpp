// The registry store against a bare SQLite loop doing the same durable work:
// one WAL transaction with synchronous=FULL per value written, and one query
// per value read. The difference is what the seam (handles, name folding, code
// page conversion, key walk) costs on top of the database itself.
//
//   registry_bench [COUNT]     (default 2000 values)
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/registry_helpers.h"
#include "platform/platform.h"
#include "platform/posix/registry_sqlite.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since)
      .count();
}

void Report(const char* what, int count, double seconds) {
  std::printf("%-34s %8.1f us/op  (%d ops, %.3f s)\n", what,
              seconds * 1e6 / count, count, seconds);
}

void BareSqlite(const std::string& path, int count) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db,
               "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;"
               "CREATE TABLE v(key INTEGER, fold TEXT, data BLOB, PRIMARY "
               "KEY(key, fold))"
               " WITHOUT ROWID;",
               nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT OR REPLACE INTO v VALUES(1, ?, ?)", -1,
                     &insert, nullptr);
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    std::string name = "value" + std::to_string(i);
    std::string data = "text of value " + std::to_string(i);
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_bind_text(insert, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_blob(insert, 2, data.data(), static_cast<int>(data.size()),
                      SQLITE_TRANSIENT);
    sqlite3_step(insert);
    sqlite3_reset(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  }
  Report("bare sqlite: write", count, Seconds(start));
  sqlite3_stmt* select = nullptr;
  sqlite3_prepare_v2(db, "SELECT data FROM v WHERE key = 1 AND fold = ?", -1,
                     &select, nullptr);
  start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    std::string name = "value" + std::to_string(i);
    sqlite3_bind_text(select, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(select);
    sqlite3_reset(select);
  }
  Report("bare sqlite: read", count, Seconds(start));
  sqlite3_finalize(insert);
  sqlite3_finalize(select);
  sqlite3_close(db);
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
  const auto dir = std::filesystem::temp_directory_path() /
                   ("vorela-registry-bench-" + std::to_string(std::rand()));
  std::filesystem::create_directories(dir);
  const std::string store = (dir / "registry.db").string();
  vorela::posix::SqliteRegistry registry([store] { return store; });
  vorela::Platform platform;
  platform.text = &vorela::SystemTextCodec();
  platform.registry = &registry;
  const std::string key = "Software\\VORELA\\Bench";

  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    vorela::RegWriteValue(platform, vorela::kHkeyCurrentUser, key,
                          "VALUE" + std::to_string(i),
                          "text of value " + std::to_string(i), false);
  }
  Report("store: RegWriteValue", count, Seconds(start));
  start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    vorela::RegReadString(platform, vorela::kHkeyCurrentUser, key,
                          "value" + std::to_string(i));
  }
  Report("store: RegReadString", count, Seconds(start));
  BareSqlite((dir / "bare.db").string(), count);
  std::filesystem::remove_all(dir);
  return 0;
}

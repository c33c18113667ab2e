#include "platform/posix/registry_sqlite_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <iterator>
#include <string_view>

#include "platform/posix/atomic_file.h"
#include "platform/posix/registry_names.h"
#include "platform/posix/registry_sqlite_db.h"
#include "platform/registry.h"

namespace vorela::posix {
namespace {

constexpr int kBusyTimeoutMs = 15000;

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS keys("
    "  id INTEGER PRIMARY KEY AUTOINCREMENT,"
    "  parent INTEGER NOT NULL,"
    "  name TEXT NOT NULL,"
    "  fold TEXT NOT NULL,"
    "  UNIQUE(parent, fold));"
    "CREATE TABLE IF NOT EXISTS vals("
    "  key INTEGER NOT NULL,"
    "  name TEXT NOT NULL,"
    "  fold TEXT NOT NULL,"
    "  type INTEGER NOT NULL,"
    "  data BLOB NOT NULL,"
    "  PRIMARY KEY(key, fold)) WITHOUT ROWID;";

// The values a fresh machine has where the folder resolver looks, with the
// names, spellings and types a fresh Wine prefix has there.
struct SeedValue {
  const char* name;
  std::uint32_t type;
  const char* text;
};
constexpr SeedValue kCurrentVersionSeed[] = {
    {"CommonFilesDir", kRegSz, "C:\\Program Files\\Common Files"},
    {"CommonFilesDir (x86)", kRegSz, "C:\\Program Files (x86)\\Common Files"},
    {"ProgramFilesDir", kRegSz, "C:\\Program Files"},
    {"ProgramFilesDir (x86)", kRegSz, "C:\\Program Files (x86)"},
    {"ProgramFilesPath", kRegExpandSz, "%ProgramFiles%"},
};

// The keys a fresh store has below HKEY_LOCAL_MACHINE, one inside the other;
// the last one holds kCurrentVersionSeed.
constexpr const char* kSeededKeyPath[] = {"Software", "Microsoft", "Windows", "CurrentVersion"};

// Bytes 18 and 19 of an SQLite file header: the file format versions to read
// and write it, 2 when the database is in WAL mode.
constexpr std::size_t kFormatVersionOffset = 18;
constexpr unsigned char kWalFormatVersion = 2;

// Creates the tables and roots of a new store and seeds it, in one transaction;
// a store that already has its roots is left alone.
int InitializeStore(sqlite3* db) {
  WriteTransaction txn(db);
  if (txn.begin_result() != SQLITE_OK) return txn.begin_result();
  int rc = sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) return rc;
  Statement count(db, "SELECT COUNT(*) FROM keys WHERE id IN (1, 2)");
  // A step that did not yield the row is a failure whatever it returned; the
  // statement is never stepped a second time to find out why.
  if ((rc = count.Step()) != SQLITE_ROW) return rc == SQLITE_DONE ? SQLITE_CORRUPT : rc;
  if (count.Int(0) == 2) return txn.Commit();
  Statement roots(db,
                  "INSERT OR IGNORE INTO keys(id, parent, name, fold) VALUES"
                  " (1, 0, 'HKEY_CURRENT_USER', ':hkcu'),"
                  " (2, 0, 'HKEY_LOCAL_MACHINE', ':hklm')");
  if ((rc = roots.Step()) != SQLITE_DONE) return rc;
  std::int64_t parent = kLocalMachineId;
  for (const char* name : kSeededKeyPath) {
    if ((rc = InsertKey(db, parent, name, &parent)) != SQLITE_OK) return rc;
  }
  for (const SeedValue& seed : kCurrentVersionSeed) {
    Statement value(db, "INSERT INTO vals(key, name, fold, type, data) VALUES(?, ?, ?, ?, ?)");
    std::string data(seed.text);
    data.push_back('\0');
    value.Bind(1, parent).Bind(2, seed.name).Bind(3, FoldName(seed.name));
    value.Bind(4, static_cast<std::int64_t>(seed.type)).BindBlob(5, data);
    if ((rc = value.Step()) != SQLITE_DONE) return rc;
  }
  return txn.Commit();
}

// Whether the store has its tables and both roots, found by reading alone.
int HasRoots(sqlite3* db, bool* ready) {
  *ready = false;
  Statement tables(db,
                   "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table'"
                   " AND name IN ('keys', 'vals')");
  int rc = tables.Step();
  if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? SQLITE_CORRUPT : rc;
  if (tables.Int(0) != 2) return SQLITE_OK;
  Statement count(db, "SELECT COUNT(*) FROM keys WHERE id IN (1, 2)");
  if ((rc = count.Step()) != SQLITE_ROW) return rc == SQLITE_DONE ? SQLITE_CORRUPT : rc;
  *ready = count.Int(0) == 2;
  return SQLITE_OK;
}

// The SQLite code that stands for a failed file operation's Win32 code.
int ToSqlite(Win32Error error) {
  switch (error) {
    case kErrorSuccess:
      return SQLITE_OK;
    case kErrorDiskFull:
      return SQLITE_FULL;
    case kErrorNotEnoughMemory:
      return SQLITE_NOMEM;
    case kErrorAccessDenied:
    case kErrorWriteProtect:
      return SQLITE_READONLY;
    case kErrorPathNotFound:
    case kErrorFileNotFound:
      return SQLITE_CANTOPEN;
    default:
      return SQLITE_IOERR;
  }
}

}  // namespace

int InsertKey(sqlite3* db, std::int64_t parent, const std::string& name, std::int64_t* id) {
  Statement insert(db, "INSERT INTO keys(parent, name, fold) VALUES(?, ?, ?)");
  insert.Bind(1, parent).Bind(2, name).Bind(3, FoldName(name));
  int rc = insert.Step();
  if (rc != SQLITE_DONE) return rc;
  *id = sqlite3_last_insert_rowid(db);
  return SQLITE_OK;
}

bool IsSeededKey(std::int64_t root, const std::vector<std::string>& parts) {
  if (root == kCurrentUserId) return parts.empty();
  if (root != kLocalMachineId || parts.size() > std::size(kSeededKeyPath)) return false;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (FoldName(parts[i]) != FoldName(kSeededKeyPath[i])) return false;
  }
  return true;
}

bool StoreIsMissing(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) == 0 || errno != ENOENT) return false;
  const std::string folder = NativeParent(path);
  return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         access(folder.c_str(), W_OK | X_OK) == 0;
}

int OpenSeededStandIn(sqlite3** out) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc == SQLITE_OK) {
    sqlite3_extended_result_codes(db, 0);
    rc = InitializeStore(db);
  }
  if (rc != SQLITE_OK) {
    sqlite3_close_v2(db);
    return rc;
  }
  *out = db;
  return SQLITE_OK;
}

int CreateStore(const std::string& path) {
  // The store's bytes are made in memory and written once: no journal, and
  // no sync until the whole file is there.
  sqlite3* db = nullptr;
  int rc = OpenSeededStandIn(&db);
  if (rc != SQLITE_OK) return rc;
  sqlite3_int64 size = 0;
  unsigned char* image = sqlite3_serialize(db, "main", &size, 0);
  sqlite3_close_v2(db);
  if (!image) return SQLITE_NOMEM;
  // Born in WAL mode, as OpenStore would switch it (that switch alone costs
  // four syncs): the mode is these two header bytes.
  if (size > static_cast<sqlite3_int64>(kFormatVersionOffset + 1)) {
    image[kFormatVersionOffset] = kWalFormatVersion;
    image[kFormatVersionOffset + 1] = kWalFormatVersion;
  }
  AtomicReplacement file(path, /*owner_only=*/false);
  file.Write(std::string_view(reinterpret_cast<const char*>(image), static_cast<size_t>(size)));
  sqlite3_free(image);
  const Win32Error placed = file.CommitIfAbsent();
  // Someone else's store is as good as ours; where the file system cannot
  // place a file without replacing one, OpenStore makes the store in place.
  if (placed == kErrorAlreadyExists || placed == kErrorNotSupported) return SQLITE_OK;
  return ToSqlite(placed);
}

int OpenStore(const std::string& path, bool exclusive, sqlite3** out) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc == SQLITE_OK) {
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db, 0);
    if (exclusive) {
      rc = sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
    }
  }
  if (rc == SQLITE_OK) {
    rc = sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;", nullptr, nullptr,
                      nullptr);
  }
  bool ready = false;
  if (rc == SQLITE_OK) rc = HasRoots(db, &ready);
  if (rc == SQLITE_OK && !ready) rc = InitializeStore(db);
  if (rc != SQLITE_OK) {
    sqlite3_close_v2(db);
    return rc;
  }
  *out = db;
  return SQLITE_OK;
}

}  // namespace vorela::posix

#include "platform/posix/registry_sqlite.h"

#include <sqlite3.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/posix/machine.h"
#include "platform/posix/registry_names.h"
#include "platform/posix/registry_sqlite_db.h"
#include "platform/text.h"

namespace vorela::posix {
namespace {

constexpr std::int64_t kCurrentUserId = 1;
constexpr std::int64_t kLocalMachineId = 2;
constexpr Win32Error kErrorNoAccess = 998;
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

const TextCodec& Codec() { return SystemTextCodec(); }

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

int InsertKey(sqlite3* db, std::int64_t parent, const std::string& name,
              std::int64_t* id) {
  Statement insert(db, "INSERT INTO keys(parent, name, fold) VALUES(?, ?, ?)");
  insert.Bind(1, parent).Bind(2, name).Bind(3, FoldName(name));
  int rc = insert.Step();
  if (rc != SQLITE_DONE) return rc;
  *id = sqlite3_last_insert_rowid(db);
  return SQLITE_OK;
}

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
  for (const char* name :
       {"Software", "Microsoft", "Windows", "CurrentVersion"}) {
    if ((rc = InsertKey(db, parent, name, &parent)) != SQLITE_OK) return rc;
  }
  for (const SeedValue& seed : kCurrentVersionSeed) {
    Statement value(
        db,
        "INSERT INTO vals(key, name, fold, type, data) VALUES(?, ?, ?, ?, ?)");
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

// Opens the store at path, creating and seeding it when it is new. exclusive:
// hold the store for this connection alone, which keeps the WAL index in the
// process's memory instead of the "-shm" file beside the store.
int OpenStore(const std::string& path, bool exclusive, sqlite3** out) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                           nullptr);
  if (rc == SQLITE_OK) {
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db, 0);
    if (exclusive) {
      rc = sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
    }
  }
  if (rc == SQLITE_OK) {
    rc = sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;", nullptr,
                      nullptr, nullptr);
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

}  // namespace

SqliteRegistry::SqliteRegistry(std::function<std::string()> store_path)
    : store_path_(std::move(store_path)) {}

SqliteRegistry::~SqliteRegistry() { Close(); }

void SqliteRegistry::Close() {
  CloseConnection();
  open_path_.clear();
  handles_.clear();
}

void SqliteRegistry::CloseConnection() {
  cache_.Clear();
  if (db_) sqlite3_close_v2(db_);
  db_ = nullptr;
  exclusive_ = false;
}

Win32Error SqliteRegistry::Ensure() {
  std::string path = store_path_();
  if (path != open_path_) Close();
  if (db_) return kErrorSuccess;
  EnsureMachineFolders();
  // Two processes opening a new store at once race for its creation and for
  // the switch to WAL; SQLite answers such a race with BUSY at once rather
  // than waiting in the busy handler, so the whole opening is retried.
  sqlite3* db = nullptr;
  int rc = SQLITE_BUSY;
  for (int attempt = 0; attempt < 100; ++attempt) {
    rc = OpenStore(path, false, &db);
    if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10 + 5 * (attempt % 10)));
  }
  // The shared WAL index could not be created or grown: the disk is full, or
  // files may not grow. Reading must still work, so the store is held for
  // this process alone, with that index in memory, until the call returns.
  bool exclusive = false;
  if (rc == SQLITE_IOERR || rc == SQLITE_FULL) {
    exclusive = OpenStore(path, true, &db) == SQLITE_OK;
    if (exclusive) rc = SQLITE_OK;
  }
  if (rc != SQLITE_OK) {
    const Win32Error code = rc == SQLITE_CANTOPEN ? kErrorCantOpenKey : FromSqlite(rc, true);
    return code != kErrorSuccess ? code : kErrorCantOpenKey;
  }
  db_ = db;
  exclusive_ = exclusive;
  open_path_ = path;
  return kErrorSuccess;
}

SqliteRegistry::CallScope::~CallScope() {
  if (registry_->exclusive_) registry_->CloseConnection();
}

RegKey SqliteRegistry::NewHandle(std::int64_t id, std::uint32_t access) {
  RegKey handle = next_handle_;
  next_handle_ += 4;
  // MAXIMUM_ALLOWED asks for whatever the caller may have: everything, here.
  if (access & 0x02000000u) access |= kKeyAllAccess;
  handles_[handle] = Handle{id, access};
  return handle;
}

Win32Error SqliteRegistry::Resolve(RegKey key, Handle* handle) {
  if (Win32Error rc = Ensure()) return rc;
  if (key == kHkeyCurrentUser || key == kHkeyLocalMachine) {
    handle->id = key == kHkeyCurrentUser ? kCurrentUserId : kLocalMachineId;
    handle->access = kKeyAllAccess;
    return kErrorSuccess;
  }
  auto it = handles_.find(key);
  if (it == handles_.end()) return kErrorInvalidHandle;
  *handle = it->second;
  return kErrorSuccess;
}

Win32Error SqliteRegistry::ResolveLive(RegKey key, std::uint32_t needed_access,
                                       Handle* handle) {
  if (Win32Error rc = Resolve(key, handle)) return rc;
  bool exists = false;
  if (Win32Error rc = KeyExists(handle->id, &exists)) return rc;
  if (!exists) return kErrorKeyDeleted;
  if ((handle->access & needed_access) != needed_access)
    return kErrorAccessDenied;
  return kErrorSuccess;
}

Win32Error SqliteRegistry::KeyExists(std::int64_t id, bool* exists) {
  Statement select(cache_, db_, "SELECT 1 FROM keys WHERE id = ?");
  int rc = select.Bind(1, id).Step();
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) return FromSqlite(rc, false);
  *exists = rc == SQLITE_ROW;
  return kErrorSuccess;
}

Win32Error SqliteRegistry::FindChild(std::int64_t parent,
                                     const std::string& utf8_name,
                                     std::int64_t* child) {
  Statement select(cache_, db_,
                   "SELECT id FROM keys WHERE parent = ? AND fold = ?");
  int rc = select.Bind(1, parent).Bind(2, FoldName(utf8_name)).Step();
  if (rc == SQLITE_DONE) return kErrorFileNotFound;
  if (rc != SQLITE_ROW) return FromSqlite(rc, false);
  *child = select.Int(0);
  return kErrorSuccess;
}

Win32Error SqliteRegistry::Walk(std::int64_t from, std::string_view ansi_path,
                                bool create, std::int64_t* id) {
  std::vector<std::string> parts;
  if (Win32Error rc = SplitKeyPath(Codec().FromAnsi(ansi_path), &parts))
    return rc;
  std::int64_t current = from;
  for (const std::string& part : parts) {
    std::int64_t child = 0;
    Win32Error rc = FindChild(current, part, &child);
    if (rc == kErrorFileNotFound && create) {
      int sql_rc = InsertKey(db_, current, part, &child);
      if (sql_rc != SQLITE_OK) return FromSqlite(sql_rc, true);
    } else if (rc != kErrorSuccess) {
      return rc;
    }
    current = child;
  }
  *id = current;
  return kErrorSuccess;
}

Win32Error SqliteRegistry::OpenKey(RegKey root, std::string_view sub_key,
                                   std::uint32_t access, RegKey* key) {
  CallScope scope(this);
  if (Win32Error rc = Ensure()) return rc;
  ReadTransaction txn(db_);
  Handle parent;
  if (Win32Error rc = ResolveLive(root, 0, &parent)) return rc;
  std::int64_t id = 0;
  if (Win32Error rc = Walk(parent.id, sub_key, false, &id)) return rc;
  *key = NewHandle(id, access);
  return kErrorSuccess;
}

Win32Error SqliteRegistry::CreateKey(RegKey root, std::string_view sub_key,
                                     std::uint32_t access, RegKey* key) {
  CallScope scope(this);
  Handle parent;
  if (Win32Error rc = Resolve(root, &parent)) return rc;
  {
    // Most creates find the key there already: no write transaction then.
    ReadTransaction read(db_);
    std::int64_t id = 0;
    if (ResolveLive(root, 0, &parent) == kErrorSuccess &&
        Walk(parent.id, sub_key, false, &id) == kErrorSuccess) {
      *key = NewHandle(id, access);
      return kErrorSuccess;
    }
  }
  std::int64_t id = 0;
  const Win32Error created = InWriteTransaction(db_, [&]() -> Win32Error {
    bool exists = false;
    if (Win32Error rc = KeyExists(parent.id, &exists)) return rc;
    if (!exists) return kErrorKeyDeleted;
    return Walk(parent.id, sub_key, true, &id);
  });
  if (created != kErrorSuccess) return created;
  *key = NewHandle(id, access);
  return kErrorSuccess;
}

Win32Error SqliteRegistry::ReadValue(std::int64_t id,
                                     std::string_view ansi_name, Value* value) {
  Statement select(
      cache_, db_,
      "SELECT name, type, data FROM vals WHERE key = ? AND fold = ?");
  int rc =
      select.Bind(1, id).Bind(2, FoldName(Codec().FromAnsi(ansi_name))).Step();
  if (rc == SQLITE_DONE) return kErrorFileNotFound;
  if (rc != SQLITE_ROW) return FromSqlite(rc, false);
  value->name = Codec().ToAnsi(select.Text(0));
  value->type = static_cast<std::uint32_t>(select.Int(1));
  value->bytes = select.Blob(2);
  if (IsStringType(value->type)) value->bytes = Codec().ToAnsi(value->bytes);
  return kErrorSuccess;
}

Win32Error SqliteRegistry::ReadValueAt(std::int64_t id, std::uint32_t index,
                                       Value* value) {
  // Values enumerate in name order, as the platform this store stands in for
  // enumerates them (not in the order they were created).
  Statement select(
      cache_, db_,
      "SELECT name, type, data FROM vals WHERE key = ? ORDER BY fold LIMIT 1 "
      "OFFSET ?");
  int rc = select.Bind(1, id).Bind(2, static_cast<std::int64_t>(index)).Step();
  if (rc == SQLITE_DONE) return kErrorNoMoreItems;
  if (rc != SQLITE_ROW) return FromSqlite(rc, false);
  value->name = Codec().ToAnsi(select.Text(0));
  value->type = static_cast<std::uint32_t>(select.Int(1));
  value->bytes = select.Blob(2);
  if (IsStringType(value->type)) value->bytes = Codec().ToAnsi(value->bytes);
  return kErrorSuccess;
}

Win32Error SqliteRegistry::QueryValue(RegKey key, std::string_view name,
                                      std::uint32_t* type, std::uint8_t* data,
                                      std::uint32_t* size) {
  CallScope scope(this);
  if (data && !size) return kErrorInvalidParameter;
  if (Win32Error rc = Ensure()) return rc;
  ReadTransaction txn(db_);
  Handle handle;
  if (Win32Error rc = ResolveLive(key, kKeyQueryValue, &handle)) return rc;
  Value value;
  if (Win32Error rc = ReadValue(handle.id, name, &value)) return rc;
  auto needed = static_cast<std::uint32_t>(value.bytes.size());
  if (data && needed > *size) {
    if (type) *type = value.type;
    *size = needed;
    return kErrorMoreData;
  }
  if (data && needed) std::memcpy(data, value.bytes.data(), needed);
  if (type) *type = value.type;
  if (size) *size = needed;
  return kErrorSuccess;
}

Win32Error SqliteRegistry::SetValue(RegKey key, std::string_view name,
                                    std::uint32_t type,
                                    const std::uint8_t* data,
                                    std::uint32_t size) {
  CallScope scope(this);
  if (!data && size) return kErrorNoAccess;
  Handle handle;
  if (Win32Error rc = Resolve(key, &handle)) return rc;
  std::string bytes(reinterpret_cast<const char*>(data), data ? size : 0);
  if (IsStringType(type)) {
    // The A function counts a terminator the caller left off; keeping it here
    // makes every string read back NUL-terminated.
    if (!bytes.empty() && bytes.back() != '\0') bytes.push_back('\0');
    bytes = Codec().FromAnsi(bytes);
  }
  std::string utf8_name = Codec().FromAnsi(name);
  return InWriteTransaction(db_, [&]() -> Win32Error {
    bool exists = false;
    if (Win32Error rc = KeyExists(handle.id, &exists)) return rc;
    if (!exists) return kErrorKeyDeleted;
    if ((handle.access & kKeySetValue) == 0) return kErrorAccessDenied;
    Statement upsert(
        cache_, db_,
        "INSERT INTO vals(key, name, fold, type, data) VALUES(?, ?, ?, ?, ?) "
        "ON CONFLICT(key, fold) DO UPDATE SET type = excluded.type, "
        "data = excluded.data");
    upsert.Bind(1, handle.id).Bind(2, utf8_name).Bind(3, FoldName(utf8_name));
    upsert.Bind(4, static_cast<std::int64_t>(type)).BindBlob(5, bytes);
    if (int rc = upsert.Step(); rc != SQLITE_DONE) return FromSqlite(rc, true);
    return kErrorSuccess;
  });
}

Win32Error SqliteRegistry::EnumKey(RegKey key, std::uint32_t index, char* name,
                                   std::uint32_t* name_size) {
  CallScope scope(this);
  if (!name || !name_size) return kErrorInvalidParameter;
  if (Win32Error rc = Ensure()) return rc;
  ReadTransaction txn(db_);
  Handle handle;
  if (Win32Error rc = ResolveLive(key, kKeyEnumerateSubKeys, &handle))
    return rc;
  Statement select(
      cache_, db_,
      "SELECT name FROM keys WHERE parent = ? ORDER BY fold LIMIT 1 OFFSET ?");
  int rc = select.Bind(1, handle.id)
               .Bind(2, static_cast<std::int64_t>(index))
               .Step();
  if (rc == SQLITE_DONE) return kErrorNoMoreItems;
  if (rc != SQLITE_ROW) return FromSqlite(rc, false);
  std::string ansi = Codec().ToAnsi(select.Text(0));
  if (ansi.size() + 1 > *name_size) return kErrorMoreData;
  std::memcpy(name, ansi.c_str(), ansi.size() + 1);
  *name_size = static_cast<std::uint32_t>(ansi.size());
  return kErrorSuccess;
}

Win32Error SqliteRegistry::EnumValue(RegKey key, std::uint32_t index,
                                     char* name, std::uint32_t* name_size,
                                     std::uint32_t* type, std::uint8_t* data,
                                     std::uint32_t* data_size) {
  CallScope scope(this);
  if (!name || !name_size || (data && !data_size))
    return kErrorInvalidParameter;
  if (Win32Error rc = Ensure()) return rc;
  ReadTransaction txn(db_);
  Handle handle;
  if (Win32Error rc = ResolveLive(key, kKeyQueryValue, &handle)) return rc;
  Value value;
  if (Win32Error rc = ReadValueAt(handle.id, index, &value)) return rc;
  auto needed = static_cast<std::uint32_t>(value.bytes.size());
  if (value.name.size() + 1 > *name_size) return kErrorMoreData;
  if (data && needed > *data_size) {
    *data_size = needed;
    return kErrorMoreData;
  }
  std::memcpy(name, value.name.c_str(), value.name.size() + 1);
  *name_size = static_cast<std::uint32_t>(value.name.size());
  if (type) *type = value.type;
  if (data && needed) std::memcpy(data, value.bytes.data(), needed);
  if (data_size) *data_size = needed;
  return kErrorSuccess;
}

Win32Error SqliteRegistry::DeleteValue(RegKey key, std::string_view name) {
  CallScope scope(this);
  Handle handle;
  if (Win32Error rc = Resolve(key, &handle)) return rc;
  return InWriteTransaction(db_, [&]() -> Win32Error {
    if (Win32Error rc = ResolveLive(key, kKeySetValue, &handle)) return rc;
    Statement remove(cache_, db_, "DELETE FROM vals WHERE key = ? AND fold = ?");
    remove.Bind(1, handle.id).Bind(2, FoldName(Codec().FromAnsi(name)));
    if (int rc = remove.Step(); rc != SQLITE_DONE) return FromSqlite(rc, true);
    if (sqlite3_changes(db_) == 0) return kErrorFileNotFound;
    return kErrorSuccess;
  });
}

Win32Error SqliteRegistry::HasSubkeys(std::int64_t id, bool* has) {
  Statement select(cache_, db_, "SELECT 1 FROM keys WHERE parent = ? LIMIT 1");
  int rc = select.Bind(1, id).Step();
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) return FromSqlite(rc, false);
  *has = rc == SQLITE_ROW;
  return kErrorSuccess;
}

Win32Error SqliteRegistry::RemoveTree(std::int64_t id) {
#define VORELA_REG_TREE                             \
  "WITH RECURSIVE tree(id) AS (SELECT ? UNION ALL " \
  "SELECT keys.id FROM keys JOIN tree ON keys.parent = tree.id) "
  static constexpr const char* kValues =
      VORELA_REG_TREE "DELETE FROM vals WHERE key IN tree";
  static constexpr const char* kKeys =
      VORELA_REG_TREE "DELETE FROM keys WHERE id IN tree";
#undef VORELA_REG_TREE
  Statement values(cache_, db_, kValues);
  if (int rc = values.Bind(1, id).Step(); rc != SQLITE_DONE)
    return FromSqlite(rc, true);
  Statement keys(cache_, db_, kKeys);
  if (int rc = keys.Bind(1, id).Step(); rc != SQLITE_DONE)
    return FromSqlite(rc, true);
  return kErrorSuccess;
}

Win32Error SqliteRegistry::DeleteKey(RegKey root, std::string_view sub_key) {
  CallScope scope(this);
  Handle parent;
  if (Win32Error rc = Resolve(root, &parent)) return rc;
  return InWriteTransaction(db_, [&]() -> Win32Error {
    if (Win32Error rc = ResolveLive(root, 0, &parent)) return rc;
    std::int64_t id = 0;
    if (Win32Error rc = Walk(parent.id, sub_key, false, &id)) return rc;
    if (id == kCurrentUserId || id == kLocalMachineId) return kErrorAccessDenied;
    bool has = false;
    if (Win32Error rc = HasSubkeys(id, &has)) return rc;
    if (has) return kErrorAccessDenied;
    if (Win32Error rc = RemoveTree(id)) return rc;
    return kErrorSuccess;
  });
}

Win32Error SqliteRegistry::DeleteTree(RegKey root, std::string_view sub_key) {
  CallScope scope(this);
  Handle parent;
  if (Win32Error rc = Resolve(root, &parent)) return rc;
  return InWriteTransaction(db_, [&]() -> Win32Error {
    if (Win32Error rc = ResolveLive(root, 0, &parent)) return rc;
    std::int64_t id = 0;
    if (Win32Error rc = Walk(parent.id, sub_key, false, &id)) return rc;
    // A whole hive is never removed: that is never what a caller meant.
    if (id == kCurrentUserId || id == kLocalMachineId) return kErrorAccessDenied;
    if (Win32Error rc = RemoveTree(id)) return rc;
    return kErrorSuccess;
  });
}

Win32Error SqliteRegistry::CloseKey(RegKey key) {
  CallScope scope(this);
  Ensure();
  if (key == kHkeyCurrentUser || key == kHkeyLocalMachine) return kErrorSuccess;
  return handles_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

}  // namespace vorela::posix

namespace vorela {

Registry& SystemRegistry() {
  static posix::SqliteRegistry registry(
      [] { return posix::MachineRoot() + "/registry.db"; });
  return registry;
}

}  // namespace vorela

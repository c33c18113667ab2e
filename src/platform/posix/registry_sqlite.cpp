#include "platform/posix/registry_sqlite.h"

#include <sqlite3.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/posix/machine.h"
#include "platform/posix/registry_names.h"
#include "platform/posix/registry_sqlite_db.h"
#include "platform/posix/registry_sqlite_store.h"
#include "platform/text.h"

namespace vorela::posix {
namespace {

constexpr Win32Error kErrorNoAccess = 998;

const TextCodec& Codec() { return SystemTextCodec(); }

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
  stand_in_ = false;
}

Win32Error SqliteRegistry::Ensure(Use use) {
  std::string path = store_path_();
  if (path != open_path_) Close();
  if (db_ && !stand_in_) return kErrorSuccess;
  if (!db_) EnsureMachineFolders();
  // While there is no store, reads are answered by the stand-in; once a
  // store is there (this call writes, or another process made it), the store
  // is used from now on, and the handles stay valid.
  const bool missing = StoreIsMissing(path);
  if (db_ && missing && use == Use::kRead) return kErrorSuccess;
  CloseConnection();
  if (missing && use == Use::kRead) {
    sqlite3* stand_in = nullptr;
    if (int rc = OpenSeededStandIn(&stand_in); rc != SQLITE_OK) return FromSqlite(rc, false);
    db_ = stand_in;
    stand_in_ = true;
    open_path_ = path;
    return kErrorSuccess;
  }
  if (missing) {
    if (int rc = CreateStore(path); rc != SQLITE_OK) {
      const Win32Error code = rc == SQLITE_CANTOPEN ? kErrorCantOpenKey : FromSqlite(rc, true);
      return code != kErrorSuccess ? code : kErrorCantOpenKey;
    }
  }
  // Two processes opening a store made in place at once race for its
  // creation and for the switch to WAL; SQLite answers such a race with BUSY
  // at once rather than waiting in the busy handler, so the whole opening is
  // retried.
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

Win32Error SqliteRegistry::ResolveLive(RegKey key, std::uint32_t needed_access, Handle* handle) {
  if (Win32Error rc = Resolve(key, handle)) return rc;
  bool exists = false;
  if (Win32Error rc = KeyExists(handle->id, &exists)) return rc;
  if (!exists) return kErrorKeyDeleted;
  if ((handle->access & needed_access) != needed_access) return kErrorAccessDenied;
  return kErrorSuccess;
}

Win32Error SqliteRegistry::KeyExists(std::int64_t id, bool* exists) {
  Statement select(cache_, db_, "SELECT 1 FROM keys WHERE id = ?");
  int rc = select.Bind(1, id).Step();
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) return FromSqlite(rc, false);
  *exists = rc == SQLITE_ROW;
  return kErrorSuccess;
}

Win32Error SqliteRegistry::FindChild(std::int64_t parent, const std::string& utf8_name,
                                     std::int64_t* child) {
  Statement select(cache_, db_, "SELECT id FROM keys WHERE parent = ? AND fold = ?");
  int rc = select.Bind(1, parent).Bind(2, FoldName(utf8_name)).Step();
  if (rc == SQLITE_DONE) return kErrorFileNotFound;
  if (rc != SQLITE_ROW) return FromSqlite(rc, false);
  *child = select.Int(0);
  return kErrorSuccess;
}

Win32Error SqliteRegistry::Walk(std::int64_t from, std::string_view ansi_path, bool create,
                                std::int64_t* id) {
  std::vector<std::string> parts;
  if (Win32Error rc = SplitKeyPath(Codec().FromAnsi(ansi_path), &parts)) return rc;
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

bool SqliteRegistry::AbsentFromMissingStore(RegKey root, std::string_view sub_key,
                                            Win32Error* answer) {
  if (db_ || (root != kHkeyCurrentUser && root != kHkeyLocalMachine)) return false;
  if (!StoreIsMissing(store_path_())) return false;
  std::vector<std::string> parts;
  *answer = SplitKeyPath(Codec().FromAnsi(sub_key), &parts);
  if (*answer != kErrorSuccess) return true;
  if (IsSeededKey(root == kHkeyCurrentUser ? kCurrentUserId : kLocalMachineId, parts)) {
    return false;
  }
  *answer = kErrorFileNotFound;
  return true;
}

Win32Error SqliteRegistry::OpenKey(RegKey root, std::string_view sub_key, std::uint32_t access,
                                   RegKey* key) {
  CallScope scope(this);
  if (Win32Error answer; AbsentFromMissingStore(root, sub_key, &answer)) return answer;
  if (Win32Error rc = Ensure(Use::kRead)) return rc;
  ReadTransaction txn(db_);
  Handle parent;
  if (Win32Error rc = ResolveLive(root, 0, &parent)) return rc;
  std::int64_t id = 0;
  if (Win32Error rc = Walk(parent.id, sub_key, false, &id)) return rc;
  *key = NewHandle(id, access);
  return kErrorSuccess;
}

Win32Error SqliteRegistry::CreateKey(RegKey root, std::string_view sub_key, std::uint32_t access,
                                     RegKey* key) {
  CallScope scope(this);
  if (Win32Error rc = Ensure(Use::kRead)) return rc;
  Handle parent;
  if (Win32Error rc = Resolve(root, &parent)) return rc;
  {
    // Most creates find the key there already: no write transaction then
    // (nor a store made for it).
    ReadTransaction read(db_);
    std::int64_t id = 0;
    if (ResolveLive(root, 0, &parent) == kErrorSuccess &&
        Walk(parent.id, sub_key, false, &id) == kErrorSuccess) {
      *key = NewHandle(id, access);
      return kErrorSuccess;
    }
  }
  if (Win32Error rc = Ensure(Use::kWrite)) return rc;
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

Win32Error SqliteRegistry::ReadValue(std::int64_t id, std::string_view ansi_name, Value* value) {
  Statement select(cache_, db_, "SELECT name, type, data FROM vals WHERE key = ? AND fold = ?");
  int rc = select.Bind(1, id).Bind(2, FoldName(Codec().FromAnsi(ansi_name))).Step();
  if (rc == SQLITE_DONE) return kErrorFileNotFound;
  if (rc != SQLITE_ROW) return FromSqlite(rc, false);
  value->name = Codec().ToAnsi(select.Text(0));
  value->type = static_cast<std::uint32_t>(select.Int(1));
  value->bytes = select.Blob(2);
  if (IsStringType(value->type)) value->bytes = Codec().ToAnsi(value->bytes);
  return kErrorSuccess;
}

Win32Error SqliteRegistry::ReadValueAt(std::int64_t id, std::uint32_t index, Value* value) {
  // Values enumerate in name order, as the platform this store stands in for
  // enumerates them (not in the order they were created).
  Statement select(cache_, db_,
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

Win32Error SqliteRegistry::QueryValue(RegKey key, std::string_view name, std::uint32_t* type,
                                      std::uint8_t* data, std::uint32_t* size) {
  CallScope scope(this);
  if (data && !size) return kErrorInvalidParameter;
  if (Win32Error rc = Ensure(Use::kRead)) return rc;
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

Win32Error SqliteRegistry::SetValue(RegKey key, std::string_view name, std::uint32_t type,
                                    const std::uint8_t* data, std::uint32_t size) {
  CallScope scope(this);
  if (!data && size) return kErrorNoAccess;
  Handle handle;
  if (Win32Error rc = Ensure(Use::kWrite)) return rc;
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
    Statement upsert(cache_, db_,
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
  if (Win32Error rc = Ensure(Use::kRead)) return rc;
  ReadTransaction txn(db_);
  Handle handle;
  if (Win32Error rc = ResolveLive(key, kKeyEnumerateSubKeys, &handle)) return rc;
  Statement select(cache_, db_,
                   "SELECT name FROM keys WHERE parent = ? ORDER BY fold LIMIT 1 OFFSET ?");
  int rc = select.Bind(1, handle.id).Bind(2, static_cast<std::int64_t>(index)).Step();
  if (rc == SQLITE_DONE) return kErrorNoMoreItems;
  if (rc != SQLITE_ROW) return FromSqlite(rc, false);
  std::string ansi = Codec().ToAnsi(select.Text(0));
  if (ansi.size() + 1 > *name_size) return kErrorMoreData;
  std::memcpy(name, ansi.c_str(), ansi.size() + 1);
  *name_size = static_cast<std::uint32_t>(ansi.size());
  return kErrorSuccess;
}

Win32Error SqliteRegistry::EnumValue(RegKey key, std::uint32_t index, char* name,
                                     std::uint32_t* name_size, std::uint32_t* type,
                                     std::uint8_t* data, std::uint32_t* data_size) {
  CallScope scope(this);
  if (!name || !name_size || (data && !data_size)) return kErrorInvalidParameter;
  if (Win32Error rc = Ensure(Use::kRead)) return rc;
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
  if (Win32Error rc = Ensure(Use::kWrite)) return rc;
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
  static constexpr const char* kValues = VORELA_REG_TREE "DELETE FROM vals WHERE key IN tree";
  static constexpr const char* kKeys = VORELA_REG_TREE "DELETE FROM keys WHERE id IN tree";
#undef VORELA_REG_TREE
  Statement values(cache_, db_, kValues);
  if (int rc = values.Bind(1, id).Step(); rc != SQLITE_DONE) return FromSqlite(rc, true);
  Statement keys(cache_, db_, kKeys);
  if (int rc = keys.Bind(1, id).Step(); rc != SQLITE_DONE) return FromSqlite(rc, true);
  return kErrorSuccess;
}

Win32Error SqliteRegistry::DeleteKey(RegKey root, std::string_view sub_key) {
  CallScope scope(this);
  Handle parent;
  if (Win32Error rc = Ensure(Use::kWrite)) return rc;
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
  if (Win32Error rc = Ensure(Use::kWrite)) return rc;
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
  Ensure(Use::kRead);
  if (key == kHkeyCurrentUser || key == kHkeyLocalMachine) return kErrorSuccess;
  return handles_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

}  // namespace vorela::posix

namespace vorela {

Registry& SystemRegistry() {
  static posix::SqliteRegistry registry([] { return posix::MachineRoot() + "/registry.db"; });
  return registry;
}

}  // namespace vorela

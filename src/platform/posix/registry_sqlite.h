// The registry store of the POSIX machine: HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE in one SQLite file, with the results of the ANSI registry
// functions (codes, buffer limits, case-insensitive names that keep their
// spelling, enumeration order).
//
// What is guaranteed: every write is one transaction, so a crash or a full disk
// leaves the store as it was before or after that write, never between; the
// store runs in WAL mode with a busy timeout, so several processes may use it
// at once. Reading an existing store never needs free space: when the WAL's
// shared index beside the store cannot be created or grown (a full disk), the
// store is opened for this process alone with that index in memory, and let go
// again at the end of each call; other processes wait for it meanwhile, and
// writes fail as the disk makes them fail. A machine without a store file
// reads as a freshly seeded store would, and reading leaves it without one; the
// first write makes the store, whole and synced, before it is visible at its
// name, and never in place of a store another process made meanwhile (see
// registry_sqlite_store.h). Names and string data are kept as
// UTF-8 text (converted from and to the ANSI code page at the seam), so the
// store reads the same whatever code page a later process runs with. Not
// guaranteed: durability across power loss beyond what SQLite's FULL
// synchronous mode gives.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/posix/registry_sqlite_db.h"
#include "platform/registry.h"

namespace vorela::posix {

class SqliteRegistry : public Registry {
 public:
  // store_path names the store file; it is asked again on every call and the
  // store reopens (closing every handle) when the answer changes.
  explicit SqliteRegistry(std::function<std::string()> store_path);
  ~SqliteRegistry() override;
  SqliteRegistry(const SqliteRegistry&) = delete;
  SqliteRegistry& operator=(const SqliteRegistry&) = delete;

  Win32Error OpenKey(RegKey root, std::string_view sub_key, std::uint32_t access,
                     RegKey* key) override;
  Win32Error CreateKey(RegKey root, std::string_view sub_key, std::uint32_t access,
                       RegKey* key) override;
  Win32Error QueryValue(RegKey key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* size) override;
  Win32Error SetValue(RegKey key, std::string_view name, std::uint32_t type,
                      const std::uint8_t* data, std::uint32_t size) override;
  Win32Error EnumKey(RegKey key, std::uint32_t index, char* name,
                     std::uint32_t* name_size) override;
  Win32Error EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* name_size,
                       std::uint32_t* type, std::uint8_t* data, std::uint32_t* data_size) override;
  Win32Error DeleteValue(RegKey key, std::string_view name) override;
  Win32Error DeleteKey(RegKey root, std::string_view sub_key) override;
  Win32Error DeleteTree(RegKey root, std::string_view sub_key) override;
  Win32Error CloseKey(RegKey key) override;

 private:
  struct Handle {
    std::int64_t id = 0;
    std::uint32_t access = 0;
  };
  struct Value {
    std::uint32_t type = 0;
    std::string bytes;  // as the A functions hand them out
    std::string name;   // ANSI spelling
  };

  // Ends an exclusive connection when a public call returns (declared first
  // in each, so it runs after every statement of the call is done).
  class CallScope {
   public:
    explicit CallScope(SqliteRegistry* registry) : registry_(registry) {}
    ~CallScope();
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

   private:
    SqliteRegistry* registry_;
  };

  enum class Use { kRead, kWrite };
  // Opens the store for a call that reads or writes. A read of a machine
  // without a store file is served by the seeded stand-in in memory; a write
  // creates the store first.
  Win32Error Ensure(Use use);
  // Whether opening sub_key below a predefined root can be answered without
  // opening a store: there is none, nothing is open yet, and the path leaves
  // the seeded keys, so the answer (set in *answer) is the one the stand-in
  // would give. Spares a program that only looks for its keys on a fresh
  // machine the making of the stand-in.
  bool AbsentFromMissingStore(RegKey root, std::string_view sub_key, Win32Error* answer);
  void Close();
  // Closes the connection but keeps the handles: they stay valid for the
  // same store file.
  void CloseConnection();
  Win32Error Resolve(RegKey key, Handle* handle);
  Win32Error ResolveLive(RegKey key, std::uint32_t needed_access, Handle* handle);
  Win32Error KeyExists(std::int64_t id, bool* exists);
  Win32Error FindChild(std::int64_t parent, const std::string& utf8_name, std::int64_t* child);
  Win32Error Walk(std::int64_t from, std::string_view ansi_path, bool create, std::int64_t* id);
  Win32Error ReadValue(std::int64_t id, std::string_view ansi_name, Value* value);
  Win32Error ReadValueAt(std::int64_t id, std::uint32_t index, Value* value);
  Win32Error HasSubkeys(std::int64_t id, bool* has);
  Win32Error RemoveTree(std::int64_t id);
  RegKey NewHandle(std::int64_t id, std::uint32_t access);

  std::function<std::string()> store_path_;
  std::string open_path_;
  sqlite3* db_ = nullptr;
  bool exclusive_ = false;  // db_ holds the store alone (see Ensure)
  bool stand_in_ = false;   // db_ is the stand-in for a missing store
  StatementCache cache_;
  std::map<RegKey, Handle> handles_;
  RegKey next_handle_ = 0x1000;
};

}  // namespace vorela::posix

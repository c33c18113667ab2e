// The first moments of the SQLite store: a machine without a store file reads
// as a seeded one and stays without it; the first write makes the store, once,
// even when several processes make their first writes together. POSIX only:
// the Windows build's registry is the platform's.
#ifndef _WIN32

#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/reg_file.h"
#include "platform/posix/registry_sqlite.h"
#include "platform/posix/registry_sqlite_store.h"
#include "registry_test_env.h"

namespace vorela::testing {
namespace {

constexpr char kCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";

// The names in folder, sorted.
std::set<std::string> Entries(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// One answer of a PRAGMA or query, read without the registry's own code.
std::string AskStore(const std::string& store, const char* sql) {
  sqlite3* db = nullptr;
  std::string result = "cannot open";
  if (sqlite3_open_v2(store.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    result = sqlite3_step(stmt) == SQLITE_ROW
                 ? reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))
                 : "no row";
    sqlite3_finalize(stmt);
  }
  sqlite3_close(db);
  return result;
}

std::string ExportMachine(Registry& reg) {
  std::string bytes;
  EXPECT_EQ(ExportRegFile(reg, SystemTextCodec(), kHkeyLocalMachine, "Software",
                          "HKEY_LOCAL_MACHINE\\Software", &bytes),
            kErrorSuccess);
  return bytes;
}

Win32Error SetText(Registry& reg, RegKey key, const std::string& name, std::string text) {
  text.push_back('\0');
  return reg.SetValue(key, name, kRegSz, reinterpret_cast<const std::uint8_t*>(text.data()),
                      static_cast<std::uint32_t>(text.size()));
}

std::string QueryText(Registry& reg, RegKey key, const std::string& name, Win32Error* rc) {
  char data[512] = {};
  std::uint32_t size = sizeof data;
  std::uint32_t type = 0;
  *rc = reg.QueryValue(key, name, &type, reinterpret_cast<std::uint8_t*>(data), &size);
  return *rc == kErrorSuccess ? std::string(data) : std::string();
}

// Makes a key in HKCU, which makes the store when there is none.
Win32Error WriteOnce(Registry& reg, const std::string& path) {
  RegKey key = 0;
  Win32Error rc = reg.CreateKey(kHkeyCurrentUser, path, kKeyAllAccess, &key);
  if (rc == kErrorSuccess) rc = SetText(reg, key, "written", path);
  reg.CloseKey(key);
  return rc;
}

TEST(StoreCreation, ReadingAMachineWithoutAStoreAnswersAsASeededOneAndLeavesNone) {
  ScratchDir dir;
  const std::string store = dir.NativeJoin("registry.db");
  posix::SqliteRegistry reader([store] { return store; });

  RegKey key = 0;
  ASSERT_EQ(reader.OpenKey(kHkeyLocalMachine, kCurrentVersion, kKeyRead, &key), kErrorSuccess);
  Win32Error rc = kErrorSuccess;
  EXPECT_EQ(QueryText(reader, key, "commonfilesdir", &rc), "C:\\Program Files\\Common Files");
  EXPECT_EQ(rc, kErrorSuccess);
  reader.CloseKey(key);
  EXPECT_EQ(reader.OpenKey(kHkeyCurrentUser, "Software", kKeyRead, &key), kErrorFileNotFound);
  char name[64];
  std::uint32_t size = sizeof name;
  EXPECT_EQ(reader.EnumKey(kHkeyCurrentUser, 0, name, &size), kErrorNoMoreItems);
  // Creating a key that is there already writes nothing either.
  ASSERT_EQ(reader.CreateKey(kHkeyLocalMachine, "software\\MICROSOFT", kKeyAllAccess, &key),
            kErrorSuccess);
  reader.CloseKey(key);
  const std::string before = ExportMachine(reader);
  EXPECT_TRUE(Entries(dir.native()).empty()) << "reading made files";

  // A store made by a write holds exactly what the reads answered.
  posix::SqliteRegistry writer([store] { return store; });
  ASSERT_EQ(WriteOnce(writer, "Software\\First"), kErrorSuccess);
  EXPECT_EQ(ExportMachine(writer), before);
  EXPECT_EQ(ExportMachine(reader), before);
  EXPECT_EQ(reader.OpenKey(kHkeyCurrentUser, "Software\\First", kKeyRead, &key), kErrorSuccess)
      << "the reader goes on reading the new store";
  reader.CloseKey(key);
}

// A registry that has opened nothing yet answers a lookup on a machine
// without a store as the seeded stand-in does and as the store does once it
// exists: found or not, refused paths refused with the same code.
TEST(StoreCreation, FirstLookupsOfAMissingStoreAnswerAsTheStoreWill) {
  const std::string long_name(257, 'k');
  std::string long_path;
  while (long_path.size() < 300) long_path += "Software\\";
  const std::vector<std::pair<RegKey, std::string>> lookups = {
      {kHkeyCurrentUser, ""},
      {kHkeyCurrentUser, "Software"},
      {kHkeyCurrentUser, "Software\\Microsoft\\Internet Explorer\\MenuExt"},
      {kHkeyCurrentUser, "\\\\"},
      {kHkeyLocalMachine, ""},
      {kHkeyLocalMachine, "SOFTWARE"},
      {kHkeyLocalMachine, "software\\\\microsoft\\windows\\"},
      {kHkeyLocalMachine, kCurrentVersion},
      {kHkeyLocalMachine, std::string(kCurrentVersion) + "\\Run"},
      {kHkeyLocalMachine, "Software\\Windows"},
      {kHkeyLocalMachine, "Microsoft"},
      {kHkeyLocalMachine, "\\Software"},
      {kHkeyLocalMachine, "Software\\" + long_name},
      {kHkeyLocalMachine, "Nope\\" + long_name},
      {kHkeyLocalMachine, long_path},
      {kHkeyLocalMachine, "Software\\\x83\x81\x83\x6A\x83\x85\x81\x5B"},
  };
  ScratchDir dir;
  const std::string store = dir.NativeJoin("registry.db");
  auto open = [](posix::SqliteRegistry& reg, RegKey root, const std::string& path) {
    RegKey key = 0;
    const Win32Error rc = reg.OpenKey(root, path, kKeyRead, &key);
    if (rc == kErrorSuccess) reg.CloseKey(key);
    return rc;
  };
  std::vector<Win32Error> first, stand_in, stored;
  for (const auto& [root, path] : lookups) {
    posix::SqliteRegistry fresh([store] { return store; });
    first.push_back(open(fresh, root, path));
  }
  posix::SqliteRegistry reader([store] { return store; });
  char name[64];
  std::uint32_t size = sizeof name;
  ASSERT_EQ(reader.EnumKey(kHkeyLocalMachine, 0, name, &size), kErrorSuccess);
  for (const auto& [root, path] : lookups) stand_in.push_back(open(reader, root, path));
  EXPECT_TRUE(Entries(dir.native()).empty()) << "looking made files";
  posix::SqliteRegistry writer([store] { return store; });
  ASSERT_EQ(WriteOnce(writer, "Elsewhere"), kErrorSuccess);
  for (const auto& [root, path] : lookups) stored.push_back(open(writer, root, path));
  for (std::size_t i = 0; i < lookups.size(); ++i) {
    SCOPED_TRACE(lookups[i].second);
    EXPECT_EQ(first[i], stored[i]);
    EXPECT_EQ(stand_in[i], stored[i]);
  }
  EXPECT_EQ(stored[1], kErrorFileNotFound);
  EXPECT_EQ(stored[6], kErrorSuccess);
}

TEST(StoreCreation, KeysOpenedBeforeTheStoreExistedAreTheSameKeysAfter) {
  ScratchDir dir;
  const std::string store = dir.NativeJoin("registry.db");
  posix::SqliteRegistry early([store] { return store; });
  posix::SqliteRegistry other([store] { return store; });
  RegKey seeded = 0;
  ASSERT_EQ(early.OpenKey(kHkeyLocalMachine, kCurrentVersion, kKeyAllAccess, &seeded),
            kErrorSuccess);

  // Another process makes the store and writes to that key.
  RegKey same = 0;
  ASSERT_EQ(other.CreateKey(kHkeyLocalMachine, kCurrentVersion, kKeyAllAccess, &same),
            kErrorSuccess);
  ASSERT_EQ(SetText(other, same, "Added", "by other"), kErrorSuccess);
  Win32Error rc = kErrorSuccess;
  EXPECT_EQ(QueryText(early, seeded, "Added", &rc), "by other");
  ASSERT_EQ(SetText(early, seeded, "Back", "by early"), kErrorSuccess);
  EXPECT_EQ(QueryText(other, same, "Back", &rc), "by early");

  // Deleted by the other, the key is gone for the early handle too.
  ASSERT_EQ(other.DeleteTree(kHkeyLocalMachine, "Software\\Microsoft"), kErrorSuccess);
  QueryText(early, seeded, "CommonFilesDir", &rc);
  EXPECT_EQ(rc, kErrorKeyDeleted);
  early.CloseKey(seeded);
  other.CloseKey(same);
}

TEST(StoreCreation, AHandleOpenedBeforeTheStoreWritesTheStoreItMakes) {
  ScratchDir dir;
  const std::string store = dir.NativeJoin("registry.db");
  posix::SqliteRegistry reg([store] { return store; });
  RegKey key = 0;
  ASSERT_EQ(reg.OpenKey(kHkeyLocalMachine, kCurrentVersion, kKeyAllAccess, &key), kErrorSuccess);
  ASSERT_EQ(SetText(reg, key, "CommonFilesDir", "D:\\Common"), kErrorSuccess);
  reg.CloseKey(key);
  posix::SqliteRegistry later([store] { return store; });
  ASSERT_EQ(later.OpenKey(kHkeyLocalMachine, kCurrentVersion, kKeyRead, &key), kErrorSuccess);
  Win32Error rc = kErrorSuccess;
  EXPECT_EQ(QueryText(later, key, "CommonFilesDir", &rc), "D:\\Common");
  later.CloseKey(key);
}

// Waits for the go (a byte on the pipe), then makes a first write; the exit
// code says whether it worked.
[[noreturn]] void FirstWriter(const std::string& store, int go, int n) {
  char byte = 0;
  if (read(go, &byte, 1) != 1) _exit(20);
  posix::SqliteRegistry reg([store] { return store; });
  _exit(WriteOnce(reg, "Software\\Racer" + std::to_string(n)) == kErrorSuccess ? 0 : 21);
}

TEST(StoreCreation, FirstWritesStartedTogetherShareOneStore) {
  constexpr int kWriters = 4;
  for (int round = 0; round < 5; ++round) {
    ScratchDir dir;
    const std::string store = dir.NativeJoin("registry.db");
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    pid_t writers[kWriters];
    for (int n = 0; n < kWriters; ++n) {
      writers[n] = fork();
      ASSERT_GE(writers[n], 0);
      if (writers[n] == 0) {
        close(go[1]);
        FirstWriter(store, go[0], n);
      }
    }
    close(go[0]);
    const char bytes[kWriters] = {};
    ASSERT_EQ(write(go[1], bytes, kWriters), kWriters);
    close(go[1]);
    for (pid_t pid : writers) {
      int status = 0;
      waitpid(pid, &status, 0);
      ASSERT_TRUE(WIFEXITED(status));
      EXPECT_EQ(WEXITSTATUS(status), 0) << "round " << round;
    }

    // No creation's temporary is left, nor a second store under some name
    // (the writers ended without closing the store: its WAL files stay).
    std::set<std::string> left = Entries(dir.native());
    left.erase("registry.db-wal");
    left.erase("registry.db-shm");
    EXPECT_EQ(left, std::set<std::string>{"registry.db"}) << "round " << round;
    EXPECT_EQ(AskStore(store, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(AskStore(store, "PRAGMA journal_mode"), "wal");
    // Seeded once: every writer's key is in the one store there is.
    EXPECT_EQ(AskStore(store, "SELECT COUNT(*) FROM vals WHERE name = 'CommonFilesDir'"), "1");
    posix::SqliteRegistry reg([store] { return store; });
    for (int n = 0; n < kWriters; ++n) {
      RegKey key = 0;
      EXPECT_EQ(
          reg.OpenKey(kHkeyCurrentUser, "Software\\Racer" + std::to_string(n), kKeyRead, &key),
          kErrorSuccess)
          << "round " << round << ", writer " << n;
      reg.CloseKey(key);
    }
  }
}

// The moment two first writes race for: a creation that finds a store made
// since it looked must leave that store, and what was written to it, alone.
TEST(StoreCreation, ACreationThatComesSecondKeepsTheFirstStore) {
  ScratchDir dir;
  const std::string store = dir.NativeJoin("registry.db");
  {
    posix::SqliteRegistry first([store] { return store; });
    ASSERT_EQ(WriteOnce(first, "Software\\First"), kErrorSuccess);
  }  // closed: the write is in the store file itself now
  ASSERT_EQ(posix::CreateStore(store), SQLITE_OK);
  RegKey key = 0;
  posix::SqliteRegistry later([store] { return store; });
  EXPECT_EQ(later.OpenKey(kHkeyCurrentUser, "Software\\First", kKeyRead, &key), kErrorSuccess);
  later.CloseKey(key);
  for (const std::string& name : Entries(dir.native())) {
    EXPECT_EQ(name.rfind("registry.db", 0), 0u) << name << " left behind";
  }
}

// Exit codes of the child below.
enum NoRoomResult { kReadAndRefused = 0, kReadFailed = 30, kWriteAccepted, kLeftFiles };

// A process whose files may not grow by a byte (a full disk, to it) reads a
// machine without a store, then tries its first write.
[[noreturn]] void FirstWriterWithoutRoom(const std::string& dir, const std::string& store) {
  signal(SIGXFSZ, SIG_IGN);
  rlimit none{0, 0};
  setrlimit(RLIMIT_FSIZE, &none);
  posix::SqliteRegistry reg([store] { return store; });
  RegKey key = 0;
  Win32Error rc = reg.OpenKey(kHkeyLocalMachine, kCurrentVersion, kKeyRead, &key);
  if (rc != kErrorSuccess || QueryText(reg, key, "ProgramFilesDir", &rc) != "C:\\Program Files") {
    _exit(kReadFailed);
  }
  reg.CloseKey(key);
  if (WriteOnce(reg, "Software\\NoRoom") == kErrorSuccess) _exit(kWriteAccepted);
  if (!Entries(dir).empty()) _exit(kLeftFiles);
  _exit(kReadAndRefused);
}

TEST(StoreCreation, AFirstWriteThatFindsNoRoomFailsAndLeavesNothing) {
  ScratchDir dir;
  const std::string store = dir.NativeJoin("registry.db");
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) FirstWriterWithoutRoom(dir.native(), store);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), kReadAndRefused);

  // With room again, the first write makes the store.
  posix::SqliteRegistry reg([store] { return store; });
  ASSERT_EQ(WriteOnce(reg, "Software\\Later"), kErrorSuccess);
  EXPECT_EQ(AskStore(store, "PRAGMA integrity_check"), "ok");
}

TEST(StoreCreation, WhatACreationKilledMidwayLeftIsClearedByTheNext) {
  ScratchDir dir;
  const std::string store = dir.NativeJoin("registry.db");
  // A creation's temporary nobody holds any more, half written.
  WriteNativeFile(dir.NativeJoin(".registry.db.tmp-Ab3xY9"), "SQLite format 3");
  posix::SqliteRegistry reg([store] { return store; });
  RegKey key = 0;
  ASSERT_EQ(reg.OpenKey(kHkeyLocalMachine, kCurrentVersion, kKeyRead, &key), kErrorSuccess);
  reg.CloseKey(key);
  ASSERT_EQ(WriteOnce(reg, "Software\\After"), kErrorSuccess);
  EXPECT_EQ(Entries(dir.native()).count(".registry.db.tmp-Ab3xY9"), 0u);
  EXPECT_EQ(AskStore(store, "PRAGMA integrity_check"), "ok");
}

}  // namespace
}  // namespace vorela::testing

#endif  // _WIN32

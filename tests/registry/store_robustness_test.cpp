// The SQLite store under stress: a writer killed at an arbitrary moment and two
// writers at once. POSIX only: the Windows build's registry is the platform's.
#ifndef _WIN32

#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>

#include "common/reg_file.h"
#include "platform/posix/registry_sqlite.h"
#include "registry_test_env.h"

namespace vorela::testing {
namespace {

std::string Payload(int i) {
  std::string text = "value " + std::to_string(i) + " ";
  while (text.size() < 1500) text += std::to_string(i * 7919 % 1000);
  text.push_back('\0');
  return text;
}

// Writes value i (and every tenth time a key with a value, two rows in one
// transaction) until killed or done; the exit code tells whether any failed.
// After the first value it writes a byte to ready_fd, where one is given.
[[noreturn]] void WriterChild(const std::string& store,
                              const std::string& key_path, int count, int ready_fd = -1) {
  posix::SqliteRegistry reg([store] { return store; });
  RegKey key = 0;
  if (reg.CreateKey(kHkeyCurrentUser, key_path, kKeyAllAccess, &key) !=
      kErrorSuccess)
    _exit(10);
  for (int i = 0; i < count; ++i) {
    const std::string data = Payload(i);
    if (reg.SetValue(key, "v" + std::to_string(i), kRegSz,
                     reinterpret_cast<const std::uint8_t*>(data.data()),
                     static_cast<std::uint32_t>(data.size())) !=
        kErrorSuccess) {
      _exit(11);
    }
    if (i == 0 && ready_fd >= 0) {
      if (write(ready_fd, "r", 1) != 1) _exit(13);
      close(ready_fd);
    }
    if (i % 10 == 0) {
      RegKey child = 0;
      if (reg.CreateKey(key, "k" + std::to_string(i) + "\\leaf", kKeyAllAccess,
                        &child) != kErrorSuccess) {
        _exit(12);
      }
      reg.CloseKey(child);
    }
  }
  _exit(0);
}

std::string IntegrityCheck(const std::string& store) {
  sqlite3* db = nullptr;
  std::string result = "cannot open";
  if (sqlite3_open_v2(store.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) ==
      SQLITE_OK) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr);
    if (sqlite3_step(stmt) == SQLITE_ROW) {
      result = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    }
    sqlite3_finalize(stmt);
  }
  sqlite3_close(db);
  return result;
}

// The indices of the values under key_path whose data is intact; fails the
// test for any value that is there but not what was written.
std::set<int> IntactValues(Registry& reg, const std::string& key_path) {
  std::set<int> found;
  RegKey key = 0;
  if (reg.OpenKey(kHkeyCurrentUser, key_path, kKeyRead, &key) != kErrorSuccess)
    return found;
  for (std::uint32_t index = 0;; ++index) {
    char name[64];
    std::uint32_t name_size = sizeof name;
    std::uint8_t data[4096];
    std::uint32_t size = sizeof data;
    std::uint32_t type = 0;
    if (reg.EnumValue(key, index, name, &name_size, &type, data, &size) !=
        kErrorSuccess)
      break;
    int i = std::stoi(std::string(name + 1, name_size - 1));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), Payload(i))
        << name;
    found.insert(i);
  }
  reg.CloseKey(key);
  return found;
}

int CountSubkeys(Registry& reg, const std::string& key_path) {
  RegKey key = 0;
  if (reg.OpenKey(kHkeyCurrentUser, key_path, kKeyRead, &key) != kErrorSuccess)
    return 0;
  int count = 0;
  char name[64];
  for (std::uint32_t size = sizeof name;
       reg.EnumKey(key, count, name, &size) == kErrorSuccess;
       size = sizeof name) {
    ++count;
  }
  reg.CloseKey(key);
  return count;
}

TEST(StoreRobustness, WriterKilledMidwayLeavesEveryWriteWholeOrAbsent) {
  ScratchDir dir;
  const std::string store = dir.NativeJoin("registry.db");
  for (int round = 0; round < 3; ++round) {
    const std::string key_path = "Software\\Killed" + std::to_string(round);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      close(ready[0]);
      WriterChild(store, key_path, 1000000, ready[1]);
    }
    close(ready[1]);
    // Once its first write is in (however long a busy machine makes that
    // take), let it go on a while, then kill it without warning at a moment
    // of its choosing.
    char byte = 0;
    const bool started = read(ready[0], &byte, 1) == 1;
    close(ready[0]);
    if (started) std::this_thread::sleep_for(std::chrono::milliseconds(50 + 70 * round));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    EXPECT_EQ(IntegrityCheck(store), "ok");
    posix::SqliteRegistry reg([store] { return store; });
    std::set<int> found = IntactValues(reg, key_path);
    ASSERT_FALSE(found.empty())
        << "the writer wrote nothing before it was killed";
    // Writes are sequential, so what survived is exactly the first n of them.
    EXPECT_EQ(*found.rbegin() + 1, static_cast<int>(found.size()));
    // Each "k<i>\leaf" pair came in one transaction: no key without its leaf.
    RegKey key = 0;
    ASSERT_EQ(reg.OpenKey(kHkeyCurrentUser, key_path, kKeyRead, &key),
              kErrorSuccess);
    char name[64];
    for (std::uint32_t index = 0, size = sizeof name;
         reg.EnumKey(key, index, name, &size) == kErrorSuccess;
         ++index, size = sizeof name) {
      EXPECT_EQ(CountSubkeys(reg, key_path + "\\" + std::string(name, size)), 1)
          << name;
    }
    reg.CloseKey(key);
    // And the store still takes writes.
    ASSERT_EQ(reg.CreateKey(kHkeyCurrentUser, key_path + "\\after",
                            kKeyAllAccess, &key),
              kErrorSuccess);
    reg.CloseKey(key);
  }
}

TEST(StoreRobustness, TwoWritersAtOnceBothComplete) {
  ScratchDir dir;
  const std::string store = dir.NativeJoin("registry.db");
  constexpr int kCount = 300;
  pid_t writers[2];
  for (int n = 0; n < 2; ++n) {
    writers[n] = fork();
    ASSERT_GE(writers[n], 0);
    if (writers[n] == 0)
      WriterChild(store, "Software\\Writer" + std::to_string(n), kCount);
  }
  for (pid_t pid : writers) {
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  EXPECT_EQ(IntegrityCheck(store), "ok");
  posix::SqliteRegistry reg([store] { return store; });
  for (int n = 0; n < 2; ++n) {
    const std::string key_path = "Software\\Writer" + std::to_string(n);
    EXPECT_EQ(IntactValues(reg, key_path).size(),
              static_cast<std::size_t>(kCount));
    EXPECT_EQ(CountSubkeys(reg, key_path), kCount / 10);
  }
}

TEST(StoreRobustness, ForeignFileInPlaceOfTheStoreIsReportedNotTrusted) {
  ScratchDir dir;
  const std::string store = dir.NativeJoin("registry.db");
  WriteNativeFile(store, std::string(4096, 'x'));
  posix::SqliteRegistry reg([store] { return store; });
  RegKey key = 0;
  EXPECT_EQ(reg.OpenKey(kHkeyCurrentUser, "Software", kKeyRead, &key),
            kErrorRegistryCorrupt);
  EXPECT_EQ(ReadNativeFile(store), std::string(4096, 'x'));
}


// Exit codes of the child below.
enum NoRoomResult { kExported = 0, kExportFailed = 20, kExportDiffers, kWriteAccepted };

// Reads the store in a process whose files may not grow by a single byte,
// which is what a full disk looks like to it.
[[noreturn]] void ReaderWithoutRoom(const std::string& store, const std::string& expected) {
  signal(SIGXFSZ, SIG_IGN);
  rlimit none{0, 0};
  setrlimit(RLIMIT_FSIZE, &none);
  posix::SqliteRegistry reg([store] { return store; });
  std::string bytes;
  if (ExportRegFile(reg, SystemTextCodec(), kHkeyCurrentUser, "Software\\Kept",
                    "HKEY_CURRENT_USER\\Software\\Kept", &bytes) != kErrorSuccess) {
    _exit(kExportFailed);
  }
  if (bytes != expected) _exit(kExportDiffers);
  RegKey key = 0;
  const std::uint8_t data[] = {'n', 'o', 0};
  if (reg.OpenKey(kHkeyCurrentUser, "Software\\Kept", kKeyAllAccess, &key) == kErrorSuccess &&
      reg.SetValue(key, "more", kRegSz, data, sizeof data) == kErrorSuccess) {
    _exit(kWriteAccepted);
  }
  _exit(kExported);
}

TEST(StoreRobustness, ReadingNeedsNoFreeSpaceAndWritingSaysItFailed) {
  ScratchDir dir;
  const std::string store = dir.NativeJoin("registry.db");
  std::string expected;
  {
    posix::SqliteRegistry reg([store] { return store; });
    RegKey key = 0;
    ASSERT_EQ(reg.CreateKey(kHkeyCurrentUser, "Software\\Kept\\Sub", kKeyAllAccess, &key),
              kErrorSuccess);
    const std::string text = Payload(3);
    ASSERT_EQ(reg.SetValue(key, "v3", kRegSz, reinterpret_cast<const std::uint8_t*>(text.data()),
                           static_cast<std::uint32_t>(text.size())),
              kErrorSuccess);
    reg.CloseKey(key);
    ASSERT_EQ(ExportRegFile(reg, SystemTextCodec(), kHkeyCurrentUser, "Software\\Kept",
                            "HKEY_CURRENT_USER\\Software\\Kept", &expected),
              kErrorSuccess);
  }  // closed: the WAL index beside the store is gone and must be made anew
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) ReaderWithoutRoom(store, expected);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), kExported);

  // Afterwards the store is whole, unchanged, and open to everyone again.
  EXPECT_EQ(IntegrityCheck(store), "ok");
  posix::SqliteRegistry reg([store] { return store; });
  std::string after;
  ASSERT_EQ(ExportRegFile(reg, SystemTextCodec(), kHkeyCurrentUser, "Software\\Kept",
                          "HKEY_CURRENT_USER\\Software\\Kept", &after),
            kErrorSuccess);
  EXPECT_EQ(after, expected);
}

// Fault injection into every SQLite connection this process opens: the first
// run of the statement that counts the roots of a new store is interrupted.
struct InterruptOnce {
  static inline bool armed = false;
  static inline bool running = false;
  static int Trace(unsigned, void*, void* stmt, void*) {
    const char* sql = sqlite3_sql(static_cast<sqlite3_stmt*>(stmt));
    running = armed && sql && std::string(sql).rfind("SELECT COUNT(*) FROM keys", 0) == 0;
    return 0;
  }
  static int Progress(void*) {
    if (!running) return 0;
    running = armed = false;
    return 1;
  }
  static int Install(sqlite3* db, char**, const sqlite3_api_routines*) {
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT, Trace, nullptr);
    sqlite3_progress_handler(db, 1, Progress, nullptr);
    return SQLITE_OK;
  }
};

TEST(StoreRobustness, AStoreThatFailedToStartIsNeverUsedAsOpen) {
  ScratchDir dir;
  const std::string store = dir.NativeJoin("registry.db");
  auto install = reinterpret_cast<void (*)()>(&InterruptOnce::Install);
  ASSERT_EQ(sqlite3_auto_extension(install), SQLITE_OK);
  InterruptOnce::armed = true;
  posix::SqliteRegistry reg([store] { return store; });
  RegKey key = 0;
  const char* seeded = "Software\\Microsoft\\Windows\\CurrentVersion";
  const Win32Error first = reg.OpenKey(kHkeyLocalMachine, seeded, kKeyRead, &key);
  const bool injected = !InterruptOnce::armed;
  sqlite3_cancel_auto_extension(install);
  ASSERT_TRUE(injected) << "the fault was never injected";
  EXPECT_NE(first, kErrorSuccess) << "a call whose store did not start";
  // The store itself is fine: the next call starts it and works.
  ASSERT_EQ(reg.OpenKey(kHkeyLocalMachine, seeded, kKeyRead, &key), kErrorSuccess);
  reg.CloseKey(key);
  ASSERT_EQ(reg.CreateKey(kHkeyCurrentUser, "Software\\After", kKeyAllAccess, &key),
            kErrorSuccess);
  reg.CloseKey(key);
  EXPECT_EQ(IntegrityCheck(store), "ok");
}

}  // namespace
}  // namespace vorela::testing

#endif  // _WIN32

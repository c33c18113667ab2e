// The file seam's contract, run against this build's real backend (POSIX calls
// natively, kernel32 under Wine): the same expectations on both.
#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include <vector>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "common/helpers.h"
#include "platform/files.h"
#include "support/scratch.h"

namespace vorela {
namespace {

using testing::ReadNativeFile;
using testing::ScratchDir;
using testing::WriteNativeFile;

class FilesContract : public ::testing::Test {
 protected:
  FileSystem& fs = SystemFileSystem();
  ScratchDir dir;
};

size_t EntriesIn(const std::string& native) {
  size_t n = 0;
  for (auto it = std::filesystem::directory_iterator(native); it != std::filesystem::directory_iterator(); ++it) ++n;
  return n;
}

TEST_F(FilesContract, ExistenceIsAskedByLength) {
  WriteNativeFile(dir.NativeJoin("a.txt"), "12345");
  std::filesystem::create_directory(dir.NativeJoin("sub"));
  std::uint64_t length = 99;
  EXPECT_EQ(fs.GetLength(dir.Join("a.txt"), &length), kErrorSuccess);
  EXPECT_EQ(length, 5u);
  EXPECT_EQ(fs.GetLength(dir.Join("A.TXT"), &length), kErrorSuccess) << "names ignore case";
  EXPECT_EQ(fs.GetLength(dir.Join("sub"), &length), kErrorSuccess);
  EXPECT_EQ(fs.GetLength(dir.Join("sub\\"), &length), kErrorFileNotFound);
  EXPECT_EQ(fs.GetLength(dir.Join("none.txt"), &length), kErrorFileNotFound);
  EXPECT_EQ(fs.GetLength(dir.Join("none\\x.txt"), &length), kErrorPathNotFound);

  Platform platform;
  platform.files = &fs;
  EXPECT_TRUE(FileExists(platform, dir.Join("sub")));
  EXPECT_FALSE(FileExists(platform, dir.Join("sub\\")));
  EXPECT_FALSE(FileExists(platform, ""));
  EXPECT_FALSE(FileExists(Platform{}, dir.Join("a.txt"))) << "no file system: false, no crash";
}

TEST_F(FilesContract, AtomicWriteReplacesWholeAndLeavesNothingBehind) {
  const std::string target = dir.Join("data.xml");
  ASSERT_EQ(fs.WriteAtomic(target, std::string(1000, 'x')), kErrorSuccess);
  ASSERT_EQ(fs.WriteAtomic(target, "short"), kErrorSuccess);
  EXPECT_EQ(ReadNativeFile(dir.NativeJoin("data.xml")), "short");
  EXPECT_EQ(EntriesIn(dir.native()), 1u) << "no temporary file may remain";

  // A read-only file is refused and kept as it was.
  ASSERT_EQ(fs.SetReadOnly(target, true), kErrorSuccess);
  EXPECT_EQ(fs.WriteAtomic(target, "new"), kErrorAccessDenied);
  EXPECT_EQ(ReadNativeFile(dir.NativeJoin("data.xml")), "short");
  EXPECT_EQ(fs.Delete(target), kErrorAccessDenied);
  ASSERT_EQ(fs.SetReadOnly(target, false), kErrorSuccess);
  EXPECT_EQ(fs.Delete(target), kErrorSuccess);

  // A missing folder: nothing is created.
  EXPECT_EQ(fs.WriteAtomic(dir.Join("missing\\x.xml"), "x"), kErrorPathNotFound);
  EXPECT_EQ(EntriesIn(dir.native()), 0u);
}

// What a save killed half-way leaves in the folder, and what a save still
// running holds there, named as this backend names them.
#ifdef _WIN32
constexpr const char* kStaleTemp = "~data.xml.4242-7.tmp";
constexpr const char* kLiveTemp = "~data.xml.4243-0.tmp";
constexpr const char* kForeignNames[] = {"~data.xml.4242-7.tmp.bak", "~data.xml.x-7.tmp",
                                         "~other.xml.4242-7.tmp", "data.xml.tmp"};

// Holds a file open as a running save holds its temporary.
class HeldFile {
 public:
  explicit HeldFile(const std::string& native)
      : handle_(CreateFileA(native.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~HeldFile() { CloseHandle(handle_); }
  bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};
#else
constexpr const char* kStaleTemp = ".data.xml.tmp-Ab3xQ9";
constexpr const char* kLiveTemp = ".data.xml.tmp-Zz0000";
constexpr const char* kForeignNames[] = {".data.xml.tmp-Ab3xQ9x", ".data.xml.tmp-Ab3",
                                         ".other.xml.tmp-Ab3xQ9", "data.xml.tmp-Ab3xQ9"};

class HeldFile {
 public:
  explicit HeldFile(const std::string& native)
      : fd_(open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)) {
    if (fd_ >= 0 && flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~HeldFile() {
    if (fd_ >= 0) close(fd_);
  }
  bool held() const { return fd_ >= 0; }

 private:
  int fd_;
};
#endif

TEST_F(FilesContract, ASaveRemovesTheTemporariesOfKilledSavesButNoLiveOne) {
  WriteNativeFile(dir.NativeJoin("data.xml"), "old");
  WriteNativeFile(dir.NativeJoin(kStaleTemp), std::string(100000, 'k'));
  for (const char* name : kForeignNames) WriteNativeFile(dir.NativeJoin(name), name);
  HeldFile live(dir.NativeJoin(kLiveTemp));
  ASSERT_TRUE(live.held());

  ASSERT_EQ(fs.WriteAtomic(dir.Join("data.xml"), "new"), kErrorSuccess);
  EXPECT_EQ(ReadNativeFile(dir.NativeJoin("data.xml")), "new");
  EXPECT_FALSE(std::filesystem::exists(dir.NativeJoin(kStaleTemp)));
  EXPECT_TRUE(std::filesystem::exists(dir.NativeJoin(kLiveTemp))) << "a running save's";
  for (const char* name : kForeignNames) {
    EXPECT_EQ(ReadNativeFile(dir.NativeJoin(name)), name) << "not this file's temporary";
  }
  // A save of another file leaves this file's temporaries alone, and a save
  // of this one never leaves one of its own.
  WriteNativeFile(dir.NativeJoin(kStaleTemp), "k");
  ASSERT_EQ(fs.WriteAtomic(dir.Join("third.xml"), "3"), kErrorSuccess);
  EXPECT_TRUE(std::filesystem::exists(dir.NativeJoin(kStaleTemp)));
  ASSERT_EQ(fs.WriteAtomicOwnerOnly(dir.Join("data.xml"), "newer"), kErrorSuccess);
  EXPECT_FALSE(std::filesystem::exists(dir.NativeJoin(kStaleTemp)));
  EXPECT_EQ(EntriesIn(dir.native()), 3u + std::size(kForeignNames));
}

#ifndef _WIN32
// The real thing: a saving process killed without warning, then the next save.
TEST_F(FilesContract, WhatAKilledSaveLeftIsGoneAfterTheNextSave) {
  const std::string big(16 << 20, 'b');
  auto temporaries = [&] {
    size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.native())) {
      n += entry.path().filename().string().rfind(".big.xml.tmp-", 0) == 0;
    }
    return n;
  };
  for (int round = 0; round < 20 && temporaries() == 0; ++round) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (;;) fs.WriteAtomic(dir.Join("big.xml"), big);
    }
    usleep(30000 + 10000 * round);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  ASSERT_GT(temporaries(), 0u) << "no save was ever caught half-way";
  ASSERT_EQ(fs.WriteAtomic(dir.Join("big.xml"), "small"), kErrorSuccess);
  EXPECT_EQ(temporaries(), 0u);
  EXPECT_EQ(ReadNativeFile(dir.NativeJoin("big.xml")), "small");
}

mode_t ModeOf(const std::string& native) {
  struct stat st;
  return lstat(native.c_str(), &st) == 0 ? (st.st_mode & 07777) : 07777;
}

// Permissions: the usual ones for new files, the file's own for existing
// ones, never writable by others; owner-only for secrets.
TEST_F(FilesContract, WrittenFilesGetTheUsualModeAndSecretsTheOwnersOnly) {
  struct UmaskScope {
    explicit UmaskScope(mode_t mask) : old(umask(mask)) {}
    ~UmaskScope() { umask(old); }
    mode_t old;
  };
  {
    UmaskScope scope(022);
    ASSERT_EQ(fs.WriteAtomic(dir.Join("new.xml"), "n"), kErrorSuccess);
    EXPECT_EQ(ModeOf(dir.NativeJoin("new.xml")), 0644u);
    ASSERT_EQ(fs.WriteAtomicOwnerOnly(dir.Join("new.xml"), "s"), kErrorSuccess);
    EXPECT_EQ(ModeOf(dir.NativeJoin("new.xml")), 0600u) << "even where the file was 0644";
  }
  {
    UmaskScope scope(0);
    ASSERT_EQ(fs.WriteAtomic(dir.Join("open.xml"), "n"), kErrorSuccess);
    EXPECT_EQ(ModeOf(dir.NativeJoin("open.xml")), 0664u) << "never writable by others";
    ASSERT_EQ(fs.WriteAtomicOwnerOnly(dir.Join("secret.enc"), "s"), kErrorSuccess);
    EXPECT_EQ(ModeOf(dir.NativeJoin("secret.enc")), 0600u);
  }
  WriteNativeFile(dir.NativeJoin("kept.xml"), "k");
  ASSERT_EQ(chmod(dir.NativeJoin("kept.xml").c_str(), 0640), 0);
  ASSERT_EQ(fs.WriteAtomic(dir.Join("kept.xml"), "k2"), kErrorSuccess);
  EXPECT_EQ(ModeOf(dir.NativeJoin("kept.xml")), 0640u);
  ASSERT_EQ(chmod(dir.NativeJoin("kept.xml").c_str(), 0777), 0);
  ASSERT_EQ(fs.WriteAtomic(dir.Join("kept.xml"), "k3"), kErrorSuccess);
  EXPECT_EQ(ModeOf(dir.NativeJoin("kept.xml")), 0664u);
}

// A link where a data file belongs becomes a plain file with the usual mode;
// what it pointed to is not written.
TEST_F(FilesContract, ALinkInPlaceOfTheFileIsReplacedNotFollowed) {
  struct UmaskScope {
    UmaskScope() : old(umask(022)) {}
    ~UmaskScope() { umask(old); }
    mode_t old;
  } scope;
  WriteNativeFile(dir.NativeJoin("elsewhere.xml"), "theirs");
  ASSERT_EQ(chmod(dir.NativeJoin("elsewhere.xml").c_str(), 0644), 0);
  for (const char* name : {"history.xml", "secret.enc"}) {
    std::filesystem::create_symlink(dir.NativeJoin("elsewhere.xml"), dir.NativeJoin(name));
  }
  ASSERT_EQ(fs.WriteAtomic(dir.Join("history.xml"), "mine"), kErrorSuccess);
  ASSERT_EQ(fs.WriteAtomicOwnerOnly(dir.Join("secret.enc"), "hidden"), kErrorSuccess);
  EXPECT_FALSE(std::filesystem::is_symlink(dir.NativeJoin("history.xml")));
  EXPECT_EQ(ModeOf(dir.NativeJoin("history.xml")), 0644u);
  EXPECT_EQ(ModeOf(dir.NativeJoin("secret.enc")), 0600u);
  EXPECT_EQ(ReadNativeFile(dir.NativeJoin("history.xml")), "mine");
  EXPECT_EQ(ReadNativeFile(dir.NativeJoin("elsewhere.xml")), "theirs");
}
#endif

#ifdef _WIN32
bool UnderWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// The allowing entries of the file's access list: who may get in.
std::vector<std::vector<unsigned char>> AllowedSids(const std::string& native,
                                                    bool* protected_list) {
  const std::wstring path = std::filesystem::u8path(native).wstring();
  DWORD size = 0;
  GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size);
  std::vector<std::vector<unsigned char>> sids;
  if (!size || !GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, buffer.data(), size,
                                 &size)) {
    return sids;
  }
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(buffer.data(), &control, &revision);
  *protected_list = (control & SE_DACL_PROTECTED) != 0;
  BOOL present = FALSE, defaulted = FALSE;
  ACL* acl = nullptr;
  if (!GetSecurityDescriptorDacl(buffer.data(), &present, &acl, &defaulted) || !acl) return sids;
  for (DWORD i = 0; i < acl->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(acl, i, &ace)) continue;
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    PSID sid = &allowed->SidStart;
    auto* bytes = static_cast<unsigned char*>(sid);
    sids.emplace_back(bytes, bytes + GetLengthSid(sid));
  }
  return sids;
}

// Owner-only on Windows: an access list of the file's own, not inherited from
// the folder, that lets in the current user alone.
TEST_F(FilesContract, OwnerOnlyFilesLetInTheirUserAlone) {
  ASSERT_EQ(fs.WriteAtomicOwnerOnly(dir.Join("secret.enc"), "s"), kErrorSuccess);
  HANDLE token = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
  unsigned char user[256];
  DWORD user_size = sizeof user;
  ASSERT_TRUE(GetTokenInformation(token, TokenUser, user, user_size, &user_size));
  CloseHandle(token);
  PSID me = reinterpret_cast<TOKEN_USER*>(user)->User.Sid;
  bool protected_list = false;
  const auto sids = AllowedSids(dir.NativeJoin("secret.enc"), &protected_list);
  int mine = 0, others = 0;
  for (const auto& sid : sids) {
    PSID entry = const_cast<unsigned char*>(sid.data());
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID system = nullptr;
    AllocateAndInitializeSid(&nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &system);
    if (EqualSid(entry, me)) {
      ++mine;
    } else if (!(UnderWine() && EqualSid(entry, system))) {
      ++others;
    }
    FreeSid(system);
  }
  EXPECT_EQ(mine, 1);
  EXPECT_EQ(others, 0) << "nobody but the user may get in";
  // Wine deviation: Wine keeps no access list of a file's own and makes one up
  // from the host's mode bits (the system account, the user, and others when
  // the mode lets them in), so it never reports the list as protected.
  if (!UnderWine()) {
    EXPECT_TRUE(protected_list) << "not inherited from the folder";
  }
  std::string back;
  ASSERT_EQ(fs.ReadAll(dir.Join("secret.enc"), &back), kErrorSuccess) << "its owner reads it";
  EXPECT_EQ(back, "s");
}
#endif

TEST_F(FilesContract, CopyDeleteRenameAndFolders) {
  WriteNativeFile(dir.NativeJoin("src.bin"), std::string("a\0b", 3));
  WriteNativeFile(dir.NativeJoin("dst.bin"), "a much longer old destination");
  EXPECT_EQ(fs.Copy(dir.Join("src.bin"), dir.Join("dst.bin")), kErrorSuccess);
  EXPECT_EQ(ReadNativeFile(dir.NativeJoin("dst.bin")), std::string("a\0b", 3));
  EXPECT_EQ(fs.Copy(dir.Join("none"), dir.Join("x")), kErrorFileNotFound);

  EXPECT_EQ(fs.Rename(dir.Join("dst.bin"), dir.Join("src.bin")), kErrorSuccess);
  EXPECT_EQ(fs.GetLength(dir.Join("dst.bin"), nullptr), kErrorFileNotFound);
  EXPECT_EQ(fs.Delete(dir.Join("src.bin")), kErrorSuccess);
  EXPECT_EQ(fs.Delete(dir.Join("src.bin")), kErrorFileNotFound);

  EXPECT_EQ(fs.MakeDirectory(dir.Join("d")), kErrorSuccess);
  EXPECT_EQ(fs.MakeDirectory(dir.Join("d")), kErrorAlreadyExists);
  EXPECT_EQ(fs.MakeDirectory(dir.Join("x\\y")), kErrorPathNotFound);
  EXPECT_EQ(fs.Delete(dir.Join("d")), kErrorAccessDenied) << "Delete never removes a folder";
  EXPECT_EQ(fs.RemoveEmptyDirectory(dir.Join("d")), kErrorSuccess);
}

TEST_F(FilesContract, ReadsAndWritesJapaneseNamesAndContent) {
  const std::string name = "\xE3\x83\xA1\xE3\x83\x8B\xE3\x83\xA5\xE3\x83\xBC.xml";  // メニュー.xml
  const std::string text = "<xmlroot>\xE8\xBF\xBD\xE5\x8A\xA0</xmlroot>";
  ASSERT_EQ(fs.WriteAtomic(dir.Join(name), text), kErrorSuccess);
  std::string back;
  ASSERT_EQ(fs.ReadAll(dir.Join(name), &back), kErrorSuccess);
  EXPECT_EQ(back, text);
  std::vector<std::string> names;
  ASSERT_EQ(fs.ListFiles(dir.path(), "*.xml", &names), kErrorSuccess);
  EXPECT_EQ(names, std::vector<std::string>{name});
}

TEST_F(FilesContract, ListsPlainFilesByPattern) {
  for (const char* n : {"b.htm", "A.HTM", "c.txt", ".hidden.htm"}) WriteNativeFile(dir.NativeJoin(n), n);
  std::filesystem::create_directory(dir.NativeJoin("folder.htm"));
  std::vector<std::string> names;
  ASSERT_EQ(fs.ListFiles(dir.path(), "*.htm", &names), kErrorSuccess);
  EXPECT_EQ(names, (std::vector<std::string>{"A.HTM", "b.htm"}));
  ASSERT_EQ(fs.ListFiles(dir.Join("none"), "*.htm", &names), kErrorPathNotFound);
  ASSERT_EQ(fs.ListFiles(dir.path(), "*.zzz", &names), kErrorSuccess);
  EXPECT_TRUE(names.empty());

  FileEntry entry;
  ASSERT_EQ(fs.FindEntry(dir.Join(".hidden.htm"), &entry), kErrorSuccess);
  EXPECT_TRUE(entry.is_hidden);
  ASSERT_EQ(fs.FindEntry(dir.Join("folder.htm"), &entry), kErrorSuccess);
  EXPECT_TRUE(entry.is_directory);
  ASSERT_EQ(fs.FindEntry(dir.Join("b.htm"), &entry), kErrorSuccess);
  EXPECT_FALSE(entry.is_directory || entry.is_hidden || entry.is_system);
  EXPECT_EQ(entry.size, 5u);
  EXPECT_NE(fs.FindEntry(dir.Join("*.htm"), &entry), kErrorSuccess) << "no wildcards";
}

TEST_F(FilesContract, TreeDeletionNeedsForceForReadOnlyFiles) {
  std::filesystem::create_directories(dir.NativeJoin("data/sub/deeper"));
  WriteNativeFile(dir.NativeJoin("data/a.xml"), "a");
  WriteNativeFile(dir.NativeJoin("data/sub/deeper/locked.xml"), "b");
  ASSERT_EQ(fs.SetReadOnly(dir.Join("data\\sub\\deeper\\locked.xml"), true), kErrorSuccess);

  EXPECT_EQ(fs.DeleteTree(dir.Join("data"), false), kErrorAccessDenied);
  EXPECT_TRUE(std::filesystem::exists(dir.NativeJoin("data/sub/deeper/locked.xml")));
  EXPECT_EQ(fs.DeleteTree(dir.Join("data"), true), kErrorSuccess);
  EXPECT_FALSE(std::filesystem::exists(dir.NativeJoin("data")));
  EXPECT_EQ(fs.DeleteTree(dir.Join("data"), true), kErrorPathNotFound);
}

}  // namespace
}  // namespace vorela

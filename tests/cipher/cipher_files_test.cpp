// The file forms of both ciphers, on the in-memory fake (with injected faults)
// and on this build's real file system.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "cipher/cipher_test_util.h"
#include "cleaner/simple_xor.h"
#include "common/blowfish.h"
#include "common/error.h"
#include "fakes/fake_file_system.h"
#include "support/scratch.h"

namespace vorela {
namespace {

using testing::Bytes;

// Where the files live: the fake, or a scratch folder on the real file system.
struct Disk {
  virtual ~Disk() = default;
  virtual FileSystem& files() = 0;
  virtual std::string Path(const std::string& name) = 0;
  void Put(const std::string& name, const std::string& bytes) {
    ASSERT_EQ(files().WriteAtomic(Path(name), bytes), kErrorSuccess);
  }
  std::string Get(const std::string& name) {
    std::string bytes;
    EXPECT_EQ(files().ReadAll(Path(name), &bytes), kErrorSuccess) << name;
    return bytes;
  }
  bool Has(const std::string& name) {
    std::uint64_t length;
    return files().GetLength(Path(name), &length) == kErrorSuccess;
  }
};

struct FakeDisk : Disk {
  FakeDisk() { fake.AddDirectory("C:\\data"); }
  FileSystem& files() override { return fake; }
  std::string Path(const std::string& name) override {
    return "C:\\data\\" + name;
  }
  testing::FakeFileSystem fake;
};

struct RealDisk : Disk {
  FileSystem& files() override { return SystemFileSystem(); }
  std::string Path(const std::string& name) override {
    return scratch.Join(name);
  }
  testing::ScratchDir scratch;
};

class CipherFilesTest : public ::testing::TestWithParam<bool> {
 protected:
  CipherFilesTest() {
    disk_ = GetParam() ? std::unique_ptr<Disk>(new RealDisk)
                       : std::make_unique<FakeDisk>();
    platform_.text = &SystemTextCodec();
    platform_.files = &disk_->files();
  }
  std::string P(const std::string& name) { return disk_->Path(name); }

  std::unique_ptr<Disk> disk_;
  Platform platform_;
};

INSTANTIATE_TEST_SUITE_P(OnBothDisks, CipherFilesTest,
                         ::testing::Values(false, true), [](const auto& info) {
                           return info.param ? "Real" : "Fake";
                         });

TEST_P(CipherFilesTest, BlowfishRoundTripReplacesALongerDestination) {
  disk_->Put("plain.xml", "<xmlroot><a>1</a></xmlroot>");
  disk_->Put("out.enc", std::string(5000, 'z'));
  clsBlowfish cipher(platform_);
  EXPECT_TRUE(cipher.EncryptFile(P("plain.xml"), P("out.enc"), "mossgate"));
  EXPECT_EQ(disk_->Get("out.enc").size(), 40u);

  disk_->Put("back.xml", std::string(9000, 'y'));
  clsBlowfish reader(platform_);
  EXPECT_TRUE(reader.DecryptFile(P("out.enc"), P("back.xml"), "mossgate"));
  EXPECT_EQ(disk_->Get("back.xml"), "<xmlroot><a>1</a></xmlroot>");
}

TEST_P(CipherFilesTest, BlowfishSourceMayBeTheDestination) {
  disk_->Put("secret.xml", "one file, both ways");
  clsBlowfish cipher(platform_);
  ASSERT_TRUE(cipher.EncryptFile(P("secret.xml"), P("secret.xml"), "mossgate"));
  EXPECT_EQ(disk_->Get("secret.xml").size(), 32u);
  ASSERT_TRUE(cipher.DecryptFile(P("secret.xml"), P("secret.xml")));
  EXPECT_EQ(disk_->Get("secret.xml"), "one file, both ways");
}

TEST_P(CipherFilesTest, BlowfishMissingSource) {
  clsBlowfish cipher(platform_);
  try {
    cipher.EncryptFile(P("none.xml"), P("out.enc"));
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), kObjectError);
    EXPECT_EQ(e.Description(),
              "Error in Skipjack EncryptFile procedure (Source file does not "
              "exist)." +
                  P("none.xml"));
  }
  EXPECT_FALSE(cipher.DecryptFile(P("none.enc"), P("out.xml")));
  EXPECT_FALSE(disk_->Has("out.enc"));
  EXPECT_FALSE(disk_->Has("out.xml"));
}

TEST_P(CipherFilesTest, BlowfishUndecryptableSourceWritesNothing) {
  disk_->Put("plain.xml", "data");
  clsBlowfish cipher(platform_);
  ASSERT_TRUE(cipher.EncryptFile(P("plain.xml"), P("a.enc"), "mossgate"));
  disk_->Put("old.xml", "previous contents");
  disk_->Put("short.enc", disk_->Get("a.enc").substr(0, 15));
  disk_->Put("empty.enc", "");

  for (auto [source, key] : {std::pair{"a.enc", "wrong key"},
                             {"short.enc", "mossgate"},
                             {"empty.enc", "mossgate"}}) {
    clsBlowfish reader(platform_);
    EXPECT_FALSE(reader.DecryptFile(P(source), P("old.xml"), key)) << source;
    EXPECT_EQ(disk_->Get("old.xml"), "previous contents") << source;
    EXPECT_FALSE(reader.DecryptFile(P(source), P("new.xml"), key)) << source;
    EXPECT_FALSE(disk_->Has("new.xml")) << source;
  }
}

TEST_P(CipherFilesTest, EmptySourceFileEncryptsAsEmptyData) {
  disk_->Put("empty.xml", "");
  clsBlowfish cipher(platform_);
  ASSERT_TRUE(cipher.EncryptFile(P("empty.xml"), P("empty.enc"), "mossgate"));
  EXPECT_EQ(disk_->Get("empty.enc").size(), 16u);
  ASSERT_TRUE(cipher.DecryptFile(P("empty.enc"), P("back.xml")));
  EXPECT_EQ(disk_->Get("back.xml"), "");

  clsSimpleXOR xor_cipher(platform_);
  xor_cipher.EncryptFile(P("empty.xml"), P("empty.xor"), "k");
  EXPECT_EQ(disk_->Get("empty.xor"), "");
}

TEST_P(CipherFilesTest, XorRoundTripInPlace) {
  disk_->Put("data.bin", "xor me please");
  disk_->Put("other.bin", std::string(100, 'q'));
  clsSimpleXOR cipher(platform_);
  cipher.EncryptFile(P("data.bin"), P("other.bin"), "key");
  EXPECT_EQ(disk_->Get("other.bin").size(), 13u);
  cipher.DecryptFile(P("other.bin"), P("other.bin"));
  EXPECT_EQ(disk_->Get("other.bin"), "xor me please");
}

TEST_P(CipherFilesTest, XorMissingSourceMessagesCarryNoPath) {
  clsSimpleXOR cipher(platform_);
  try {
    cipher.EncryptFile(P("none"), P("out"), "k");
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), kObjectError);
    EXPECT_EQ(e.Description(),
              "Error in Skipjack EncryptFile procedure (Source file does not "
              "exist).");
  }
  try {
    cipher.DecryptFile(P("none"), P("out"), "k");
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), kObjectError);
    EXPECT_EQ(e.Description(),
              "Error in Skipjack DecryptFile procedure (Source file does not "
              "exist).");
  }
}

TEST_P(CipherFilesTest, AFolderAsSourceIsAnErrorNotAnEmptyFile) {
  ASSERT_EQ(disk_->files().MakeDirectory(P("folder")), kErrorSuccess);
  clsBlowfish cipher(platform_);
  try {
    cipher.EncryptFile(P("folder"), P("out.enc"), "k");
    FAIL();
  } catch (const Error& e) {
    EXPECT_NE(e.Number(), kObjectError);
  }
  EXPECT_FALSE(cipher.DecryptFile(P("folder"), P("out.xml")));
  EXPECT_FALSE(disk_->Has("out.enc"));
}

TEST_P(CipherFilesTest, ReadOnlyDestinationIsRefusedAndKept) {
  disk_->Put("in.xml", "data");
  disk_->Put("locked.enc", "old");
  ASSERT_EQ(disk_->files().SetReadOnly(P("locked.enc"), true), kErrorSuccess);
  clsBlowfish cipher(platform_);
  try {
    cipher.EncryptFile(P("in.xml"), P("locked.enc"), "k");
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), ErrorNumber(RuntimeError::kPermissionDenied));
  }
  EXPECT_EQ(disk_->Get("locked.enc"), "old");
  ASSERT_EQ(disk_->files().SetReadOnly(P("locked.enc"), false), kErrorSuccess);
}

// Faults the real file system cannot be made to show on demand.
class CipherFileFaultsTest : public ::testing::Test {
 protected:
  CipherFileFaultsTest() {
    fake_.AddDirectory("C:\\d");
    platform_.text = &SystemTextCodec();
    platform_.files = &fake_;
  }
  testing::FakeFileSystem fake_;
  Platform platform_;
};

TEST_F(CipherFileFaultsTest, FailedWriteLeavesTheOldDestination) {
  fake_.AddFile("C:\\d\\in", "new data");
  fake_.AddFile("C:\\d\\out", "old data");
  fake_.FailOn("WriteAtomic", "C:\\d\\out", kErrorDiskFull);
  clsBlowfish cipher(platform_);
  try {
    cipher.EncryptFile("C:\\d\\in", "C:\\d\\out", "k");
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), ErrorNumber(RuntimeError::kDiskFull));
  }
  EXPECT_EQ(fake_.Contents("C:\\d\\out"), "old data");

  clsSimpleXOR xor_cipher(platform_);
  EXPECT_THROW(xor_cipher.EncryptFile("C:\\d\\in", "C:\\d\\out", "k"), Error);
  EXPECT_EQ(fake_.Contents("C:\\d\\out"), "old data");
}

TEST_F(CipherFileFaultsTest, FailedReadPropagatesFromEncryptAndFailsDecrypt) {
  fake_.AddFile("C:\\d\\in", "data");
  fake_.FailOn("ReadAll", "C:\\d\\in", kErrorSharingViolation);
  clsBlowfish cipher(platform_);
  try {
    cipher.EncryptFile("C:\\d\\in", "C:\\d\\out", "k");
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), ErrorNumber(RuntimeError::kPermissionDenied));
  }
  EXPECT_FALSE(cipher.DecryptFile("C:\\d\\in", "C:\\d\\out", "k"));
  EXPECT_FALSE(fake_.HasFile("C:\\d\\out"));
}

TEST_F(CipherFileFaultsTest, TheDestinationIsNeverDeletedBeforeItIsReplaced) {
  fake_.AddFile("C:\\d\\in", "data");
  fake_.AddFile("C:\\d\\out", "old");
  clsBlowfish cipher(platform_);
  cipher.EncryptFile("C:\\d\\in", "C:\\d\\out", "k");
  for (const std::string& call : fake_.calls())
    EXPECT_NE(call.rfind("Delete", 0), 0u) << call;
}

}  // namespace
}  // namespace vorela

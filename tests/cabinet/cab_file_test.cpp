// CabFile on the real platform of this build: events, listing, extraction,
// errors.
#include "cabinet/cab_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cabinet/cab_builder.h"
#include "cabinet/cab_errors.h"
#include "cabinet/cab_test_util.h"
#include "cabinet/cabinet_notify.h"
#include "support/scratch.h"

namespace vorela::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class CabFileTest : public ::testing::Test {
 protected:
  Platform platform_ = SystemPlatform();
  ScratchDir dir_;

  std::string Cabinet(const std::vector<CabEntry>& entries,
                      CabCompression compression = CabCompression::kMsZip) {
    return PutCabinet(dir_, "temp.cab", BuildCabinet(entries, compression));
  }
};

// The error an operation raises, or a failure when it raises none.
template <class Op>
Error RaisedBy(Op&& op) {
  try {
    op();
  } catch (const Error& e) {
    return e;
  }
  ADD_FAILURE() << "no error raised";
  return Error(0, "", "");
}

class CountingIterator : public CabinetIterator {
 public:
  int calls = 0;
  bool IterateCabinet(std::string_view, std::uint32_t, CabinetCallback,
                      std::uintptr_t, Win32Error*) override {
    ++calls;
    return true;
  }
};

TEST_F(CabFileTest, EveryOperationNeedsACabName) {
  CountingIterator iterator;
  Platform platform = platform_;
  platform.cabinet = &iterator;
  CabFile cab(platform);
  const char* description =
      "You must set the CabName property before taking any action on the "
      "CabFile object.";
  struct Case {
    std::function<void()> op;
    const char* source;
  } cases[] = {
      {[&] { cab.FileCount(); }, "CabFile"},
      {[&] { cab.Extract("", "", ""); }, "CabFile"},
      {[&] { cab.GetInfo(""); }, "CabFile.GetInfo"},
      {[&] { cab.GetXML(""); }, "CabFile.GetXML"},
  };
  for (const Case& c : cases) {
    const Error e = RaisedBy(c.op);
    EXPECT_EQ(static_cast<std::uint32_t>(e.Number()), 0x800407A4u);
    EXPECT_EQ(e.Source(), c.source);
    EXPECT_EQ(e.Description(), description);
  }
  EXPECT_EQ(iterator.calls, 0);
}

TEST_F(CabFileTest, MissingAndCorruptCabinetsRaiseThePlatformError) {
  CabFile cab(platform_);
  cab.CabName = dir_.Join("nothing.cab");
  Error e = RaisedBy([&] { cab.Extract("", "", ""); });
  EXPECT_EQ(e.Number(), 2);
  EXPECT_EQ(e.Source(), "CabFile");
  EXPECT_EQ(e.Description(), "The system cannot find the file specified.");
  e = RaisedBy([&] { cab.GetInfo(""); });
  EXPECT_EQ(e.Number(), 2);
  EXPECT_EQ(e.Source(), "CabFile.GetInfo");

  cab.CabName = PutCabinet(dir_, "bad.cab", "MSCF but then nothing sensible");
  e = RaisedBy([&] { cab.GetXML(""); });
  EXPECT_EQ(e.Number(), 13);
  EXPECT_EQ(e.Source(), "CabFile.GetXML");
  EXPECT_EQ(e.Description(), "Invalid data.");
}

TEST_F(CabFileTest, ErrorTableAndUnknownCodes) {
  EXPECT_STREQ(CabErrorDescription(3),
               "The system cannot find the path specified.");
  EXPECT_STREQ(CabErrorDescription(112),
               "There is not enough space on the disk.");
  EXPECT_STREQ(
      CabErrorDescription(123),
      "The filename, directory name, or volume label syntax is incorrect.");
  EXPECT_STREQ(CabErrorDescription(0), "Unknown error.");
  EXPECT_STREQ(CabErrorDescription(1223), "Unknown error.");
}

TEST_F(CabFileTest, ExtractCreatesSubfoldersOnDemandBelowAnExistingFolder) {
  CabFile cab(platform_);
  cab.CabName = Cabinet(
      {{"top.txt", "t"}, {"a\\b.txt", "ab"}, {"a\\deep\\er\\c.txt", "c"}});
  ScratchDir out;
  std::filesystem::create_directories(
      std::filesystem::u8path(out.NativeJoin("a")));
  std::vector<std::string> before, after;
  cab.BeforeExtract = [&](const std::string& name, bool&) {
    before.push_back(name);
  };
  cab.AfterExtract = [&](const std::string& target) {
    after.push_back(target);
  };

  EXPECT_TRUE(cab.Extract("", out.path(), ""));
  EXPECT_THAT(before, ElementsAre("top.txt", "a\\b.txt", "a\\deep\\er\\c.txt"));
  EXPECT_THAT(after, ElementsAre(out.Join("top.txt"), out.Join("a\\b.txt"),
                                 out.Join("a\\deep\\er\\c.txt")));
  EXPECT_THAT(TreeOf(out.native()),
              ElementsAre("a/", "a/b.txt=ab", "a/deep/", "a/deep/er/",
                          "a/deep/er/c.txt=c", "top.txt=t"));
}

TEST_F(CabFileTest, ExtractDefaultsToTheCabinetFolderAndHonoursOutputFile) {
  CabFile cab(platform_);
  cab.CabName = Cabinet({{"one.txt", "1"}, {"two.txt", "2"}});
  EXPECT_TRUE(cab.Extract("", "", ""));
  EXPECT_EQ(ReadNativeFile(dir_.NativeJoin("one.txt")), "1");
  EXPECT_EQ(ReadNativeFile(dir_.NativeJoin("two.txt")), "2");

  ScratchDir out;
  // The selected file only, under the caller's name; trailing "\" kept once.
  EXPECT_TRUE(cab.Extract("TWO.TXT", out.path() + "\\", "renamed.bin"));
  EXPECT_THAT(TreeOf(out.native()), ElementsAre("renamed.bin=2"));
}

TEST_F(CabFileTest, CancelSkipsTheFileAndItsAfterExtract) {
  CabFile cab(platform_);
  cab.CabName = Cabinet({{"a.txt", "a"}, {"sub\\b.txt", "b"}, {"c.txt", "c"}});
  ScratchDir out;
  std::vector<std::string> after;
  cab.AfterExtract = [&](const std::string& target) {
    after.push_back(target);
  };
  cab.BeforeExtract = [&](const std::string& name, bool& cancel) {
    cancel = name != "c.txt";
  };
  EXPECT_TRUE(cab.Extract("", out.path(), ""));
  EXPECT_THAT(after, ElementsAre(out.Join("c.txt")));
  EXPECT_THAT(TreeOf(out.native()), ElementsAre("c.txt=c"));

  ScratchDir untouched;
  int seen = 0;
  cab.BeforeExtract = [&](const std::string&, bool& cancel) {
    ++seen;
    cancel = true;
  };
  after.clear();
  EXPECT_TRUE(cab.Extract("", untouched.path(), ""));
  EXPECT_EQ(seen, 3);  // the walk still completes
  EXPECT_THAT(after, IsEmpty());
  EXPECT_THAT(TreeOf(untouched.native()), IsEmpty());
}

TEST_F(CabFileTest, GetInfoMatchesFullNamesAndGetXmlMatchesFileNames) {
  CabFile cab(platform_);
  cab.CabName = Cabinet({{"x.txt", "1"}, {"a\\b.txt", "22"}, {"b.txt", "333"}});
  struct Found {
    std::string name, path;
    std::int32_t size;
  };
  std::vector<Found> found;
  cab.FileFound = [&](const std::string& name, const CabDateTime&,
                      std::int32_t size, const std::string& path) {
    found.push_back({name, path, size});
  };

  EXPECT_TRUE(cab.GetInfo("A\\B.TXT"));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].name, "b.txt");
  EXPECT_EQ(found[0].path, "a\\");
  EXPECT_EQ(found[0].size, 2);

  found.clear();
  EXPECT_TRUE(cab.GetInfo(""));
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].path, "");  // stored without a folder

  // GetXML compares the part after the last "\", and stops at the first match.
  const std::string first = cab.GetXML("b.txt");
  EXPECT_NE(first.find("<FULLNAME>a\\b.txt</FULLNAME>"), std::string::npos);
  EXPECT_EQ(first.find("<FULLNAME>b.txt</FULLNAME>"), std::string::npos);
  const std::string none = cab.GetXML("a\\b.txt");
  EXPECT_EQ(none, "<?xml version=\"1.0\"?><CABFILE CABFILENAME = '" +
                      cab.CabName + "'><FILES></FILES></CABFILE>");
}

TEST_F(CabFileTest, GetXmlListingIsLiteral) {
  CabFile cab(platform_);
  const std::uint16_t midnight = 0;
  cab.CabName =
      Cabinet({{"a\\b.txt", "hello"},
               {"R&D <1>.txt", "", (45 << 9) | (12 << 5) | 31, midnight}});
  const std::string xml = cab.GetXML("");
  EXPECT_EQ(xml,
            "<?xml version=\"1.0\"?><CABFILE CABFILENAME = '" + cab.CabName +
                "'><FILES>"
                "<FILE><FULLNAME>a\\b.txt</FULLNAME><NAME>b.txt</NAME>"
                "<DATE>2024/03/05 "
                "9:07:02</DATE><SIZE>5</SIZE><PATH>a\\</PATH></FILE>\r\n"
                "<FILE><FULLNAME>R&D <1>.txt</FULLNAME><NAME>R&D <1>.txt</NAME>"
                "<DATE>2025/12/31</DATE><SIZE>0</SIZE><PATH></PATH></FILE>\r\n"
                "</FILES></CABFILE>");
}

TEST_F(CabFileTest, FileCountCountsAfreshOnEveryRead) {
  CabFile cab(platform_);
  cab.CabName = Cabinet({{"a", "1"}, {"b", "2"}, {"c", "3"}});
  EXPECT_EQ(cab.FileCount(), 3);
  EXPECT_EQ(cab.FileCount(), 3);
}

TEST_F(CabFileTest, EachOperationTakesOverTheCallback) {
  CabFile first(platform_), second(platform_);
  first.CabName = Cabinet({{"a.txt", "1"}});
  second.CabName = first.CabName;
  int first_events = 0, second_events = 0;
  first.FileFound = [&](auto&&...) { ++first_events; };
  second.FileFound = [&](auto&&...) { ++second_events; };
  first.GetInfo("");
  second.GetInfo("");
  EXPECT_EQ(CurrentCabinet(), &second);
  EXPECT_EQ(first_events, 1);
  EXPECT_EQ(second_events, 1);
}

TEST_F(CabFileTest, CallbackWithoutACurrentObjectAnswersZero) {
  {
    CabFile gone(platform_);
    gone.CabName = Cabinet({{"a.txt", "1"}});
    gone.FileCount();
  }
  EXPECT_EQ(CurrentCabinet(), nullptr);
  FileInCabinetInfoA info{};
  info.NameInCabinet = "a.txt";
  EXPECT_EQ(CabinetNotify(kCabModeFileCount, kNotifyFileInCabinet,
                          reinterpret_cast<std::uintptr_t>(&info), 0),
            0u);
}

TEST_F(CabFileTest, ErrorsInHandlersSurfaceAfterTheWalk) {
  CabFile cab(platform_);
  cab.CabName = Cabinet({{"a.txt", "1"}, {"b.txt", "2"}});
  int calls = 0;
  cab.BeforeExtract = [&](const std::string&, bool&) {
    ++calls;
    throw Error(kObjectError + 5, "Observer", "observer failed");
  };
  ScratchDir out;
  Error e = RaisedBy([&] { cab.Extract("", out.path(), ""); });
  EXPECT_EQ(e.Number(), kObjectError + 5);
  EXPECT_EQ(e.Source(), "CabFile.CabCallBack");
  EXPECT_EQ(e.Description(), "observer failed");
  EXPECT_EQ(calls, 1);  // the walk stopped at the failing file
  EXPECT_THAT(TreeOf(out.native()), IsEmpty());

  cab.FileFound = [&](auto&&...) { throw Error(42, "Observer", "nope"); };
  e = RaisedBy([&] { cab.GetInfo(""); });
  EXPECT_EQ(e.Number(), 42);
  EXPECT_EQ(e.Source(), "CabFile.GetInfo");

  // The object still works afterwards.
  cab.BeforeExtract = nullptr;
  EXPECT_TRUE(cab.Extract("", out.path(), ""));
  EXPECT_THAT(TreeOf(out.native()), ElementsAre("a.txt=1", "b.txt=2"));
}

TEST_F(CabFileTest, TooLongTargetIsAnErrorAndNothingIsWritten) {
  CabFile cab(platform_);
  cab.CabName = Cabinet({{std::string(240, 'n') + ".txt", "x"}});
  ScratchDir out;
  const Error e = RaisedBy([&] { cab.Extract("", out.path(), ""); });
  EXPECT_EQ(e.Number(), ErrorNumber(RuntimeError::kSubscriptOutOfRange));
  EXPECT_THAT(TreeOf(out.native()), IsEmpty());
}

TEST_F(CabFileTest, HostileNamesNeverLeaveTheOutputFolder) {
  ScratchDir root;
  const std::string out_native = root.NativeJoin("one/two/out");
  std::filesystem::create_directories(std::filesystem::u8path(out_native));
  const std::string out = root.Join("one\\two\\out");
  CabFile cab(platform_);
  cab.CabName = Cabinet({{"..\\..\\up2.txt", "x"},
                         {"sub\\..\\..\\up1.txt", "x"},
                         {"../fwd.txt", "x"},
                         {"\\rooted.txt", "x"},
                         {"C:\\drive.txt", "x"},
                         {"\\\\server\\share\\unc.txt", "x"},
                         {"... \\dots.txt", "x"},
                         {"ok\\kept.txt", "kept"},
                         {"..name..txt", "fine"}});
  std::vector<std::string> written;
  cab.AfterExtract = [&](const std::string& target) {
    written.push_back(target);
  };
  EXPECT_TRUE(cab.Extract("", out, ""));
  EXPECT_THAT(written,
              ElementsAre(out + "\\ok\\kept.txt", out + "\\..name..txt"));
  EXPECT_THAT(TreeOf(root.native()),
              ElementsAre("one/", "one/two/", "one/two/out/",
                          "one/two/out/..name..txt=fine", "one/two/out/ok/",
                          "one/two/out/ok/kept.txt=kept"));
}

TEST_F(CabFileTest, DeviceAndInvalidNamesAreSkippedAndTheWalkGoesOn) {
  // Written as they stand, these would open a device or fail on Windows (and
  // end the walk there), while POSIX would happily create the file.
  CabFile cab(platform_);
  cab.CabName = Cabinet({{"CON", "x"},
                         {"first.txt", "1"},
                         {"icons\\nul.ico", "x"},
                         {"Com1.htm", "x"},
                         {"LPT9\\page.htm", "x"},
                         {"name:stream", "x"},
                         {"dot.\\x.txt", "x"},
                         {"blank ", "x"},
                         {"ask?.htm", "x"},
                         {"last.txt", "2"}});
  ScratchDir out;
  std::vector<std::string> before, after;
  cab.BeforeExtract = [&](const std::string& name, bool&) {
    before.push_back(name);
  };
  cab.AfterExtract = [&](const std::string& target) {
    after.push_back(target);
  };
  EXPECT_TRUE(cab.Extract("", out.path(), ""));
  EXPECT_EQ(before.size(), 10u);
  EXPECT_THAT(after, ElementsAre(out.Join("first.txt"), out.Join("last.txt")));
  EXPECT_THAT(TreeOf(out.native()), ElementsAre("first.txt=1", "last.txt=2"));
}

TEST_F(CabFileTest, ShiftJisNamesSplitAfterConversion) {
  CabFile cab(platform_);
  // U+30BD (katakana SO) is 0x83 0x5C in code page 932: its trail byte is "\".
  cab.CabName = Cabinet({{"\x83\x5C\\b.txt", "so"}});
  std::string name, path;
  cab.FileFound = [&](const std::string& n, const CabDateTime&, std::int32_t,
                      const std::string& p) {
    name = n;
    path = p;
  };
  ASSERT_TRUE(cab.GetInfo(""));
  if (SystemTextCodec().CodePage() != 932)
    GTEST_SKIP() << "needs code page 932";
  EXPECT_EQ(path, "\xE3\x82\xBD\\");
  EXPECT_EQ(name, "b.txt");
  ScratchDir out;
  EXPECT_TRUE(cab.Extract("", out.path(), ""));
  EXPECT_THAT(TreeOf(out.native()),
              ElementsAre("\xE3\x82\xBD/", "\xE3\x82\xBD/b.txt=so"));
}

}  // namespace
}  // namespace vorela::testing

// The application event log of this build.
#include "platform/event_log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/scratch.h"

namespace vorela {
namespace {

TEST(EventLog, ProgramNameIsTheExecutablesName) { EXPECT_EQ(ProgramName(), "winsys_tests"); }

#ifdef _WIN32

TEST(EventLog, ErrorEntriesReachTheApplicationLog) {
  EXPECT_EQ(SystemEventLog().Report(EventType::kError, "CandyButton.sc_Subclass: test entry"),
            kErrorSuccess);
}

#else

class FileEventLog : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("VORELA_ROOT");
    if (old) saved_root_ = old;
    had_root_ = old != nullptr;
    // A root that does not exist yet: the log makes it.
    root_ = machine_.native() + "/machine";
    setenv("VORELA_ROOT", root_.c_str(), 1);
  }
  void TearDown() override {
    if (had_root_) {
      setenv("VORELA_ROOT", saved_root_.c_str(), 1);
    } else {
      unsetenv("VORELA_ROOT");
    }
  }
  testing::ScratchDir machine_;
  std::string root_;
  std::string saved_root_;
  bool had_root_ = false;
};

TEST_F(FileEventLog, OneLinePerEntryWithTimeSourceTypeAndText) {
  EventLog& log = SystemEventLog();
  ASSERT_EQ(log.Report(EventType::kError, "CandyButton.zDelMsg: Message &H111 not found in table"),
            kErrorSuccess);
  ASSERT_EQ(log.Report(EventType::kWarning, "two\nlines\tand a tab"), kErrorSuccess);
  ASSERT_EQ(log.Report(EventType::kInformation, ""), kErrorSuccess);
  std::string text = testing::ReadNativeFile(root_ + "/event.log");

  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size());  // ends with a line feed
  ASSERT_EQ(lines.size(), 3u);
  // 2026-12-08T07:30:00Z: twenty characters, UTC.
  for (const std::string& line : lines) {
    ASSERT_GT(line.size(), 21u);
    EXPECT_EQ(line[4], '-');
    EXPECT_EQ(line[10], 'T');
    EXPECT_EQ(line[19], 'Z');
    EXPECT_EQ(line[20], '\t');
  }
  EXPECT_EQ(lines[0].substr(21),
            "winsys_tests\tError\tCandyButton.zDelMsg: Message &H111 not found in table");
  EXPECT_EQ(lines[1].substr(21), "winsys_tests\tWarning\ttwo lines and a tab");
  EXPECT_EQ(lines[2].substr(21), "winsys_tests\tInformation\t");
}

TEST_F(FileEventLog, AnUnwritableRootIsAnErrorNotACrash) {
  testing::WriteNativeFile(machine_.native() + "/file", "x");
  setenv("VORELA_ROOT", (machine_.native() + "/file").c_str(), 1);
  EXPECT_NE(SystemEventLog().Report(EventType::kError, "lost"), kErrorSuccess);
}

#endif

}  // namespace
}  // namespace vorela

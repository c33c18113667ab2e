#include "e2e_menu/scenario.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

#include "cabinet/cab_builder.h"
#include "cabinet/cab_routines.h"
#include "common/blowfish.h"
#include "common/reg_file.h"
#include "common/system_folder.h"
#include "common/text_util.h"
#include "common/version.h"
#include "platform/platform.h"
#include "support/program_runner.h"
#include "support/scratch.h"

namespace vorela::testing {
namespace {

constexpr char kMenuExtKey[] =
    "Software\\Microsoft\\Internet Explorer\\MenuExt";
constexpr char kVorelaKey[] = "SOFTWARE\\VORELA";
// One run of the tool; a hung installer window ends the scenario instead of
// the whole test program.
constexpr int kRunSeconds = 120;

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// UTF-16LE (with or without BOM) to UTF-8; the exports hold BMP text only.
std::string FromUtf16(const std::string& bytes) {
  std::string out;
  std::size_t i =
      bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE' ? 2 : 0;
  for (; i + 1 < bytes.size(); i += 2) {
    const unsigned unit = static_cast<unsigned char>(bytes[i]) |
                          static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (unit < 0x80) {
      out += static_cast<char>(unit);
    } else if (unit < 0x800) {
      out += static_cast<char>(0xC0 | unit >> 6);
      out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | unit >> 12);
      out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (unit & 0x3F));
    }
  }
  return out;
}

// The lines of a .reg text that carry keys and values.
std::string RegLines(const std::string& text) {
  std::istringstream in(text);
  std::string out;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    if (line.empty() || line[0] == '#' ||
        line == "Windows Registry Editor Version 5.00") {
      continue;
    }
    out += line + "\n";
  }
  return out;
}

class ScenarioRun {
 public:
  explicit ScenarioRun(const std::string& name)
      : name_(name), platform_(SystemPlatform()) {
    const clsSystemFolder folders(platform_);
    resource_ = folders.System() + "\\tolresource";
    user_ = folders.Appdata() + "\\vorela";
    program_folder_ = scratch_.Join("prog");
    packages_ = scratch_.Join("pkg dir");
    std::filesystem::create_directories(scratch_.NativeJoin("prog"));
    std::filesystem::create_directories(scratch_.NativeJoin("pkg dir"));
    const std::filesystem::path exe(VORELA_MENU_EXE);
    program_ = scratch_.NativeJoin("prog/" + exe.filename().string());
    std::filesystem::copy_file(exe, program_);
  }

  void Run() {
    ResetMachine();
    const std::string script = ReadNativeFile(DataPath("scenario.txt", false));
    ASSERT_FALSE(script.empty()) << "no scenario " << name_;
    std::istringstream in(script);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
      ++number;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty() || line[0] == '#') continue;
      SCOPED_TRACE(name_ + "/scenario.txt:" + std::to_string(number) + ": " +
                   line);
      Step(line);
      if (::testing::Test::HasFatalFailure()) return;
    }
  }

 private:
  // Nothing of an earlier scenario in the same machine (or Wine prefix) may
  // show through: the keys and folders the tool touches start empty.
  void ResetMachine() {
    for (const char* key : {kMenuExtKey, kVorelaKey}) {
      platform_.registry->DeleteTree(kHkeyCurrentUser, key);
    }
    platform_.files->DeleteTree(resource_, true);
    platform_.files->DeleteTree(user_, true);
    platform_.files->DeleteTree(WorkFolder(), true);
    ASSERT_TRUE(CreateFolderPath(*platform_.files, resource_));
  }

  std::string DataPath(const std::string& file, bool common_fallback) {
    const std::string own =
        std::string(VORELA_SCENARIO_DIR) + "/" + name_ + "/" + file;
    std::error_code ec;
    if (!common_fallback || std::filesystem::exists(own, ec)) return own;
    return std::string(VORELA_SCENARIO_DIR) + "/common/" + file;
  }
  std::string Data(const std::string& file) {
    const std::string path = DataPath(file, true);
    std::error_code ec;
    EXPECT_TRUE(std::filesystem::exists(path, ec))
        << "missing data file " << file;
    return ReadNativeFile(path);
  }

  std::string Expand(const std::string& text) {
    std::string out = ReplaceAll(text, "%RES%", resource_);
    out = ReplaceAll(out, "%USER%", user_);
    out = ReplaceAll(out, "%WORK%", WorkFolder());
    out = ReplaceAll(out, "%VERSION%", kVersion);
    return ReplaceAll(out, "%PKG%", packages_);
  }

  // The tool's work folder: beside the program on Windows, in the machine's
  // own program folder on POSIX.
  std::string WorkFolder() const {
#ifdef _WIN32
    return program_folder_ + "\\work";
#else
    return "C:\\Program Files\\vorela\\work";
#endif
  }

  void Write(const std::string& path, const std::string& bytes) {
    const std::size_t slash = path.find_last_of('\\');
    ASSERT_TRUE(CreateFolderPath(*platform_.files, path.substr(0, slash)));
    ASSERT_EQ(platform_.files->WriteAtomic(path, bytes), kErrorSuccess) << path;
  }

  std::string Encrypted(const std::string& plain) {
    const std::string source = scratch_.Join("manifest.plain");
    const std::string target = scratch_.Join("manifest.enc");
    Write(source, plain);
    clsBlowfish cipher(platform_);
    EXPECT_TRUE(cipher.EncryptFile(source, target, "mossgate"));
    std::string bytes;
    platform_.files->ReadAll(target, &bytes);
    return bytes;
  }

  void Package(const std::vector<std::string>& words) {
    std::vector<CabEntry> entries;
    for (std::size_t i = 2; i < words.size(); ++i) {
      std::string stored = words[i];
      std::string data = words[i];
      if (std::size_t eq = words[i].find('='); eq != std::string::npos) {
        stored = words[i].substr(0, eq);
        data = words[i].substr(eq + 1);
      }
      CabEntry entry;
      entry.name = platform_.text->ToAnsi(stored);
      entry.data = Data(data);
      if (stored.size() > 4 &&
          AsciiLower(stored.substr(stored.size() - 4)) == ".enc") {
        entry.data = Encrypted(entry.data);
      }
      entries.push_back(entry);
    }
    Write(Expand(words[1]), BuildCabinet(entries));
  }

  std::string ExportedKeys() {
    std::string text;
    for (const char* key : {kMenuExtKey, kVorelaKey}) {
      std::string utf16;
      if (ExportRegFile(*platform_.registry, *platform_.text, kHkeyCurrentUser,
                        key, std::string("HKEY_CURRENT_USER\\") + key,
                        &utf16) == kErrorSuccess) {
        text += FromUtf16(utf16);
      }
    }
    return RegLines(text);
  }

  void Step(const std::string& line) {
    const std::vector<std::string> words = Words(line);
    const std::string& verb = words[0];
    auto need = [&](std::size_t count) {
      ASSERT_GE(words.size(), count) << "too few words";
    };
    if (verb == "seed") {
      need(2);
      std::vector<RegStatement> statements;
      std::string error;
      ASSERT_TRUE(
          ParseRegFile(Data(words[1]), *platform_.text, &statements, &error))
          << error;
      ASSERT_TRUE(ApplyRegStatements(*platform_.registry, *platform_.text,
                                     statements, &error))
          << error;
    } else if (verb == "mkdir") {
      need(2);
      ASSERT_TRUE(CreateFolderPath(*platform_.files, Expand(words[1])));
    } else if (verb == "put") {
      need(3);
      Write(Expand(words[1]), Data(words[2]));
    } else if (verb == "delete") {
      need(2);
      platform_.files->Delete(Expand(words[1]));
    } else if (verb == "package") {
      need(3);
      Package(words);
    } else if (verb == "run" || verb == "run-failing") {
      const std::string arguments = line.size() > verb.size() + 1
                                        ? Expand(line.substr(verb.size() + 1))
                                        : "";
      // The argument text goes to the tool as one piece, exactly as written.
      const ProgramResult run = RunProgram(program_, arguments, {}, kRunSeconds);
      output_ = run.out;
      errors_ = run.err;
      ASSERT_FALSE(run.timed_out) << "the tool did not end";
      // A crash is neither the success nor the failure a scenario expects.
      ASSERT_EQ(run.signal, 0) << "the tool crashed";
      const int code = run.exit_code;
      if (verb == "run") {
        ASSERT_EQ(code, 0) << errors_;
      } else {
        ASSERT_GT(code, 0) << "the tool reported success";
      }
    } else if (verb == "expect-reg") {
      need(2);
      EXPECT_EQ(ExportedKeys(), RegLines(Data(words[1])));
    } else if (verb == "expect-file") {
      need(3);
      std::string bytes;
      ASSERT_EQ(platform_.files->ReadAll(Expand(words[1]), &bytes),
                kErrorSuccess)
          << Expand(words[1]);
      EXPECT_EQ(bytes, Data(words[2]));
    } else if (verb == "expect-missing") {
      need(2);
      std::uint64_t length = 0;
      EXPECT_NE(platform_.files->GetLength(Expand(words[1]), &length),
                kErrorSuccess)
          << Expand(words[1]) << " exists";
    } else if (verb == "expect-output") {
#ifndef _WIN32
      const std::string text = line.substr(line.find(' ') + 1);
      EXPECT_NE(output_.find(text), std::string::npos) << output_;
#endif
    } else if (verb == "expect-printed") {
      const std::string text = Expand(line.substr(line.find(' ') + 1));
      EXPECT_NE(output_.find(text), std::string::npos) << output_;
    } else if (verb == "expect-error") {
      const std::string text = Expand(line.substr(line.find(' ') + 1));
      EXPECT_NE(errors_.find(text), std::string::npos) << errors_;
    } else if (verb == "expect-box") {
#ifndef _WIN32
      const std::string text = Expand(line.substr(line.find(' ') + 1));
      EXPECT_NE(errors_.find("vorelamenu: " + text), std::string::npos) << errors_;
#endif
    } else if (verb == "expect-no-output") {
#ifndef _WIN32
      EXPECT_EQ(output_, "");
#endif
    } else {
      FAIL() << "unknown step " << verb;
    }
  }

  std::string name_;
  Platform platform_;
  ScratchDir scratch_;
  std::string resource_;
  std::string user_;
  std::string program_folder_;
  std::string packages_;
  std::string program_;
  std::string output_;
  std::string errors_;
};

}  // namespace

void RunMenuScenario(const std::string& name) {
  ScenarioRun run(name);
  run.Run();
}

}  // namespace vorela::testing

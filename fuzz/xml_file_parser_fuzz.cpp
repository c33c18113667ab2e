// Feeds arbitrary documents and path lists through clsXMLFileParser and the
// build's SAX reader. Input: path entries, one per line, then a NUL byte, then
// the document; without a NUL the whole input is the document and two menu
// paths are wanted.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "cleaner/xml_file_parser.h"
#include "common/error.h"
#include "platform/platform.h"

#ifdef _WIN32
#include <process.h>
#define FUZZ_GETPID _getpid
#else
#include <unistd.h>
#define FUZZ_GETPID getpid
#endif

namespace {

const std::string& DocumentPath() {
  static const std::string path = [] {
    auto p = std::filesystem::temp_directory_path() /
             ("vorela-xml-fuzz-" + std::to_string(FUZZ_GETPID()) + ".xml");
    std::u8string u8 = p.u8string();
    return std::string(u8.begin(), u8.end());
  }();
  return path;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size() && lines.size() < 16) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> paths = {"xmlroot\\menu\\URL", "xmlroot\\menu\\ICON"};
  std::string_view document = input;
  if (std::size_t nul = input.find('\0'); nul != std::string_view::npos) {
    paths = SplitLines(input.substr(0, nul));
    document = input.substr(nul + 1);
  }
  {
    std::ofstream out(std::filesystem::u8path(DocumentPath()), std::ios::binary | std::ios::trunc);
    out.write(document.data(), static_cast<std::streamsize>(document.size()));
  }

  vorela::Platform platform;
  platform.files = &vorela::SystemFileSystem();
  platform.sax = &vorela::SystemSaxReader();
  vorela::clsXMLFileParser parser(platform);
  std::size_t total = 0;
  parser.SetXMLNodeHandler([&](const std::string& path, const std::string& content) {
    total += path.size() + content.size();
  });
  try {
    parser.ParseXMLFile(DocumentPath(), paths);
  } catch (const vorela::Error& e) {
    // Every failure must carry the parser's label.
    if (e.Description().rfind("[clsXMLFileParser][ParseXMLFile]", 0) != 0) __builtin_trap();
  }
  return 0;
}

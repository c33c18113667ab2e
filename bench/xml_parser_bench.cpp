// clsXMLFileParser against a bare expat pass over the same generated file.
//
//   xml_parser_bench [SIZE_MB=100] [FILE=/tmp/vorela-xml-bench.xml] [ROUNDS=3] [keep]
//
// The document is menu-like: providers holding menus with Japanese captions,
// entities and character references, and elements nobody asked for. The parser
// wants two paths. Each pass runs in a child process, so that its peak resident
// memory is its own; the best of ROUNDS rounds is reported. Throughput is
// computed from the child's CPU time (user + system), which a busy machine
// disturbs far less than wall time.
#include <expat.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cleaner/xml_file_parser.h"
#include "common/error.h"
#include "platform/platform.h"

namespace {

constexpr char kCaption[] = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x83\xA1\xE3\x83\x8B\xE3\x83"
                            "\xA5\xE3\x83\xBC";  // a Japanese caption ("Japanese menu")
constexpr char kText[] =
    "\xE6\xA4\x9C\xE7\xB4\xA2\xE7\xB5\x90\xE6\x9E\x9C\xE3\x82\x92\xE6\x96\xB0\xE3\x81\x97\xE3\x81"
    "\x84\xE3\x82\xA6\xE3\x82\xA3\xE3\x83\xB3\xE3\x83\x89\xE3\x82\xA6\xE3\x81\xA7\xE9\x96\x8B\xE3"
    "\x81\x8D\xE3\x81\xBE\xE3\x81\x99";  // "opens the results in a new window"

std::uint64_t Generate(const std::string& path, std::uint64_t target_bytes) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) {
    std::perror(path.c_str());
    std::exit(2);
  }
  std::uint64_t written = 0;
  auto put = [&](const std::string& s) {
    std::fwrite(s.data(), 1, s.size(), out);
    written += s.size();
  };
  put("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<xmlroot>\r\n");
  std::string block;
  for (std::uint64_t provider = 0; written < target_bytes; ++provider) {
    block = "  <provider>\r\n    <NAME>Provider " + std::to_string(provider) + " " + kCaption +
            "</NAME>\r\n";
    for (int menu = 0; menu < 20; ++menu) {
      const std::string id = std::to_string(provider * 20 + menu);
      block += "    <menu>\r\n      <MENUID>" + id + "</MENUID>\r\n      <DISPNAME>" + kCaption +
               " &amp; " + id + " &#x3042;</DISPNAME>\r\n      <URL>http://example.jp/s?q=" +
               id + "&amp;lang=ja&amp;from=menu</URL>\r\n      <ICON>icon" + id +
               ".ico</ICON>\r\n      <KEYNO><KEY>" + id + "</KEY><URL>skipped</URL></KEYNO>\r\n" +
               "      <HINT>" + kText + " " + kText + " &lt;" + id + "&gt;</HINT>\r\n" +
               "    </menu>\r\n";
    }
    block += "  </provider>\r\n";
    put(block);
  }
  put("</xmlroot>\r\n");
  std::fclose(out);
  return written;
}

void XMLCALL NoStart(void*, const XML_Char*, const XML_Char**) {}
void XMLCALL NoEnd(void*, const XML_Char*) {}

// A bare expat pass: no handlers, the same chunked reading as the reader. With
// handlers: the namespace-aware parser the reader needs (it reports local names)
// with empty element handlers, which is what expat itself costs a reader that
// must see every element; the gap between the two rows is not ours to close.
std::uint64_t ExpatPass(const std::string& path, bool handlers) {
  int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) std::exit(3);
  XML_Parser parser = handlers ? XML_ParserCreateNS(nullptr, '\x01') : XML_ParserCreate(nullptr);
  if (handlers) XML_SetElementHandler(parser, NoStart, NoEnd);
  for (;;) {
    void* buffer = XML_GetBuffer(parser, 64 * 1024);
    ssize_t got = read(fd, buffer, 64 * 1024);
    if (got < 0) std::exit(3);
    if (XML_ParseBuffer(parser, static_cast<int>(got), got == 0) != XML_STATUS_OK) {
      std::fprintf(stderr, "expat: %s\n", XML_ErrorString(XML_GetErrorCode(parser)));
      std::exit(4);
    }
    if (got == 0) break;
  }
  XML_ParserFree(parser);
  close(fd);
  return 0;
}

std::uint64_t BareExpat(const std::string& path) { return ExpatPass(path, false); }
std::uint64_t HandlerExpat(const std::string& path) { return ExpatPass(path, true); }

std::uint64_t Parser(const std::string& path) {
  vorela::Platform platform;
  platform.files = &vorela::SystemFileSystem();
  platform.sax = &vorela::SystemSaxReader();
  vorela::clsXMLFileParser parser(platform);
  std::uint64_t events = 0;
  parser.SetXMLNodeHandler([&](const std::string&, const std::string& content) {
    events += 1 + content.size();
  });
  try {
    parser.ParseXMLFile(path, {"xmlroot\\provider\\menu\\URL", "XMLROOT\\PROVIDER\\MENU\\DISPNAME"});
  } catch (const vorela::Error& e) {
    std::fprintf(stderr, "parser: %s\n", e.Description().c_str());
    std::exit(4);
  }
  return events;
}

struct Result {
  double seconds = 0;
  long peak_kb = 0;
};

// Runs pass in a child; its CPU time and peak resident memory.
Result InChild(std::uint64_t (*pass)(const std::string&), const std::string& path) {
  pid_t child = fork();
  if (child == 0) {
    std::uint64_t check = pass(path);
    _exit(check == 1 ? 1 : 0);  // keeps the result alive; never 1 in practice
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "pass failed\n");
    std::exit(5);
  }
  const double cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                     usage.ru_stime.tv_usec / 1e6;
  return {cpu, usage.ru_maxrss};
}

}  // namespace

int main(int argc, char** argv) {
  const double size_mb = argc > 1 ? std::atof(argv[1]) : 100;
  const std::string path = argc > 2 ? argv[2] : "/tmp/vorela-xml-bench.xml";
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
  const std::uint64_t bytes = Generate(path, static_cast<std::uint64_t>(size_mb * 1024 * 1024));
  const double mb = static_cast<double>(bytes) / (1024 * 1024);

  Result best_expat{1e9, 0}, best_handlers{1e9, 0}, best_parser{1e9, 0};
  long parser_peak = 0;
  for (int i = 0; i < rounds; ++i) {
    Result e = InChild(BareExpat, path);
    Result h = InChild(HandlerExpat, path);
    Result p = InChild(Parser, path);
    if (e.seconds < best_expat.seconds) best_expat = e;
    if (h.seconds < best_handlers.seconds) best_handlers = h;
    if (p.seconds < best_parser.seconds) best_parser = p;
    if (p.peak_kb > parser_peak) parser_peak = p.peak_kb;
  }
  std::printf("document        %.1f MB (%s)\n", mb, path.c_str());
  std::printf("bare expat      %.1f MB/s  (%.3f s CPU, peak %.1f MB)\n", mb / best_expat.seconds,
              best_expat.seconds, best_expat.peak_kb / 1024.0);
  std::printf("expat, NS + empty element handlers %.1f MB/s  (%.3f s CPU)\n",
              mb / best_handlers.seconds, best_handlers.seconds);
  std::printf("clsXMLFileParser %.1f MB/s  (%.3f s CPU)\n", mb / best_parser.seconds,
              best_parser.seconds);
  std::printf("ratio           %.2fx of bare expat, %.2fx of expat with handlers\n",
              best_expat.seconds / best_parser.seconds, best_handlers.seconds / best_parser.seconds);
  std::printf("parser peak RSS %.1f MB (highest of %d rounds)\n", parser_peak / 1024.0, rounds);
  if (!(argc > 4 && std::string(argv[4]) == "keep")) std::remove(path.c_str());
  return 0;
}

// Merging one new menu into a large webmenu.xml, side by side with a bare
// load-and-save of the same file by the same document service, and with
// pugixml's own load and save of it.
//
//   menu_merge_bench [PROVIDERS=10000] [MENUS=10] [ROUNDS=5]
//   [FOLDER=/tmp/vorela-merge-bench]
//
// The file is what the programs write (no indentation, UTF-8, Japanese texts).
// Each round times the three jobs on the same file; the median round is
// reported. A merge must cost little more than the bare load and save: one
// load, one linear search, one save.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "menu/menu_merge.h"
#include "platform/platform.h"
#include "platform/xml_dom.h"

namespace {

constexpr char kCaption[] =
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x83\xA1\xE3\x83\x8B\xE3\x83"
    "\xA5\xE3\x83\xBC";
constexpr char kHint[] =
    "\xE6\xA4\x9C\xE7\xB4\xA2\xE7\xB5\x90\xE6\x9E\x9C\xE3\x82\x92\xE6\x96\xB0"
    "\xE3\x81\x97\xE3\x81"
    "\x84\xE3\x82\xA6\xE3\x82\xA3\xE3\x83\xB3\xE3\x83\x89\xE3\x82\xA6\xE3\x81"
    "\xA7\xE9\x96\x8B\xE3"
    "\x81\x8D\xE3\x81\xBE\xE3\x81\x99";

std::string Generate(int providers, int menus) {
  std::string xml = "<xmlroot>";
  for (int p = 0; p < providers; ++p) {
    const std::string pid = "P" + std::to_string(p);
    xml += "<PROV><DISPNAME>" + std::string(kCaption) + " " + pid +
           "</DISPNAME><ICON>" + pid + ".ico</ICON><MENUID>" + pid +
           "</MENUID>";
    for (int m = 0; m < menus; ++m) {
      const std::string id = pid + "M" + std::to_string(m);
      xml += "<menu><DISPNAME>" + std::string(kCaption) + " &amp; " + id +
             "</DISPNAME><HINT>" + kHint + "||" + kHint + "</HINT><ICON>" + id +
             ".ico</ICON><IE>" + (m % 2 ? "1" : "0") + "</IE><MENUID>" + id +
             "</MENUID><CATEGORY>C" + std::to_string(m) + "</CATEGORY><KEYNO>" +
             std::to_string(m) + "</KEYNO></menu>";
    }
    xml += "</PROV>";
  }
  return xml + "</xmlroot>\n";
}

double Seconds(const std::function<void()>& job) {
  auto start = std::chrono::steady_clock::now();
  job();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
      .count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int providers = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int menus = argc > 2 ? std::atoi(argv[2]) : 10;
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
  const std::string folder = argc > 4 ? argv[4] : "/tmp/vorela-merge-bench";

  std::filesystem::create_directories(folder + "/vorela");
  const std::string target = folder + "/vorela/webmenu.xml";
  const std::string copy = folder + "/copy.xml";
  const std::string original = Generate(providers, menus);
  {
    std::FILE* out = std::fopen(target.c_str(), "wb");
    if (!out) return 2;
    std::fwrite(original.data(), 1, original.size(), out);
    std::fclose(out);
  }
  std::printf("webmenu.xml: %d providers x %d menus, %.1f MB\n", providers,
              menus, original.size() / 1e6);

  vorela::Platform platform = vorela::SystemPlatform();
  vorela::DataFilePaths paths;
  paths.iniPath = folder + "/vorela/";
  paths.iniWebMenu = target;
  paths.iniCategory = folder + "/vorela/category.xml";

  std::vector<double> bare, merge, raw;
  for (int round = 0; round < rounds; ++round) {
    bare.push_back(Seconds([&] {
      std::unique_ptr<vorela::XmlDocument> doc = platform.xml->CreateDocument();
      if (doc->Load(*platform.files, target) != vorela::XmlLoadResult::kLoaded)
        std::exit(3);
      if (doc->Save(*platform.files, copy) != vorela::kErrorSuccess)
        std::exit(3);
    }));
    merge.push_back(Seconds([&] {
      vorela::MenuRecord menu;
      menu.ID = "NEW" +
                std::to_string(round);  // no match: the search walks every menu
      menu.SNAME = kCaption;
      menu.HINT = kHint;
      menu.PMENUID = "P" + std::to_string(providers - 1);  // the last provider
      vorela::MergeWebMenu(platform, menu, paths);
    }));
    raw.push_back(Seconds([&] {
      pugi::xml_document doc;
      if (!doc.load_file(target.c_str())) std::exit(3);
      doc.save_file(copy.c_str(), "", pugi::format_raw);
    }));
  }
  const double b = Median(bare), m = Median(merge), r = Median(raw);
  std::printf("bare load+save (document service): %8.1f ms\n", b * 1e3);
  std::printf("MergeWebMenu (load+search+save):   %8.1f ms\n", m * 1e3);
  std::printf("pugixml load_file+save_file:       %8.1f ms\n", r * 1e3);
  std::printf("merge / bare = %.2f (target <= 1.30); bare / pugixml = %.2f\n",
              m / b, b / r);
  std::filesystem::remove_all(folder);
  return 0;
}

#include "tools/vorelapack/pack_tool.h"

#include "cabinet/cab_file.h"
#include "common/blowfish.h"
#include "common/product_facts.h"
#include "common/text_util.h"
#include "menu/package_rules.h"
#include "tools/vorelapack/pack_check.h"

namespace vorela {
namespace {

constexpr char kUsage[] =
    "usage: vorelapack build -o OUT.vorela --manifest MANIFEST.xml [FILE...]\n"
    "       vorelapack list PKG\n"
    "       vorelapack extract PKG DIR\n"
    "       vorelapack check PKG\n"
    "       vorelapack --help | --version\n"
    "\n"
    "build    encrypts MANIFEST.xml with the system's key into MANIFEST.enc "
    "and stores it\n"
    "         and the FILEs at the top level of an MSZIP cabinet\n"
    "list     prints the package's XML listing\n"
    "extract  unpacks every file of the package into DIR\n"
    "check    reports what would keep the package from installing cleanly;\n"
    "         exits 0 only for a package that would\n";

std::string BaseName(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

// Two spellings of one path, as far as a path given on a command line tells:
// separators and case folded, "." parts dropped.
std::string PathKey(const std::string& path) {
  std::string key = AsciiLower(ReplaceAll(path, "/", "\\"));
  std::string folded;
  std::size_t start = 0;
  while (start <= key.size()) {
    std::size_t cut = key.find('\\', start);
    if (cut == std::string::npos) cut = key.size();
    const std::string part = key.substr(start, cut - start);
    if (part != "." && !(part.empty() && start > 0)) {
      folded += (folded.empty() && start == 0 ? "" : "\\") + part;
    }
    start = cut + 1;
  }
  return folded;
}

bool IsFolder(const Platform& platform, const std::string& path) {
  FileEntry entry;
  return platform.files->FindEntry(path, &entry) == kErrorSuccess &&
         entry.is_directory;
}

std::string EncNameFor(const std::string& manifest) {
  std::string base = BaseName(manifest);
  const std::size_t dot = base.rfind('.');
  if (dot != std::string::npos && dot > 0) base.resize(dot);
  return base + ".enc";
}

class Tool {
 public:
  Tool(std::ostream& out, std::ostream& err, const Platform& platform,
       CabinetWriter& writer)
      : out_(out), err_(err), platform_(platform), writer_(writer) {}

  int Usage(const std::string& problem) {
    err_ << "vorelapack: " << problem << "\n" << kUsage;
    return 2;
  }
  int Fail(const std::string& problem) {
    err_ << "vorelapack: " << problem << "\n";
    return 1;
  }

  int Build(const std::vector<std::string>& args) {
    std::string output, manifest;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "-o" || args[i] == "--manifest") {
        if (i + 1 >= args.size()) return Usage(args[i] + " needs a value");
        std::string& value = args[i] == "-o" ? output : manifest;
        value = args[i + 1];
        ++i;
      } else if (args[i].size() > 1 && args[i][0] == '-') {
        return Usage("unknown option " + args[i]);
      } else {
        files.push_back(args[i]);
      }
    }
    if (output.empty()) return Usage("build needs -o OUT.vorela");
    if (manifest.empty()) return Usage("build needs --manifest MANIFEST.xml");

    // The cabinet is written last: an output that is one of the inputs would
    // be read as an input and then lose its bytes to the cabinet.
    for (const std::string* input : [&] {
           std::vector<const std::string*> all{&manifest};
           for (const std::string& file : files) all.push_back(&file);
           return all;
         }()) {
      if (PathKey(*input) == PathKey(output)) {
        return Fail("the output \"" + output + "\" is also an input; give another -o");
      }
    }
    if (IsFolder(platform_, manifest)) {
      return Fail("the manifest \"" + manifest + "\" is a folder");
    }
    if (IsFolder(platform_, output)) {
      return Fail("the output \"" + output + "\" is a folder");
    }
    std::string plain;
    if (Win32Error e = platform_.files->ReadAll(manifest, &plain)) {
      return Fail("cannot read the manifest \"" + manifest + "\" (error " +
                  std::to_string(e) + ")");
    }
    for (const PackFinding& f : CheckManifestText(platform_, plain)) {
      if (f.error) return Fail("\"" + manifest + "\": " + f.text);
    }

    if (!EqualsIgnoreCase(LastChars(output, 7), ".vorela")) {
      err_ << "vorelapack: warning: \"" << output
           << "\" does not end in .vorela; the menu tool only installs such "
              "files\n";
    }
    const std::string enc_name = EncNameFor(manifest);
    std::vector<std::string> stored{enc_name};
    std::vector<CabinetSource> sources;
    for (const std::string& file : files) {
      const std::string name = BaseName(file);
      std::uint64_t length = 0;
      if (platform_.files->GetLength(file, &length) != kErrorSuccess) {
        return Fail("cannot find \"" + file + "\"");
      }
      // A package holds files only: the installer looks at its top level.
      if (IsFolder(platform_, file)) {
        return Fail("\"" + file + "\" is a folder; give the files in it instead");
      }
      if (EqualsIgnoreCase(DecryptedManifestName(enc_name), name)) {
        return Fail("\"" + name + "\" has the name the installer decrypts \"" + enc_name +
                    "\" to, and would be overwritten; rename one of them");
      }
      for (const std::string& other : stored) {
        if (EqualsIgnoreCase(other, name)) {
          return Fail("two files would be stored as \"" + name + "\"");
        }
      }
      for (const PackFinding& f : CheckStoredName(platform_, name)) {
        if (f.error) return Fail(f.text);
        err_ << "vorelapack: warning: " << f.text << "\n";
      }
      stored.push_back(name);
      sources.push_back({name, file});
    }

    ByteArray data(plain.begin(), plain.end());
    try {
      clsBlowfish cipher(platform_);
      cipher.EncryptByte(data, kCipherKey);
    } catch (const Error& e) {
      return Fail("cannot encrypt the manifest: " + e.Description());
    }
    const std::string temp = output + ".enc-part";
    if (Win32Error e = platform_.files->WriteAtomic(
            temp, std::string(data.begin(), data.end()))) {
      return Fail("cannot write \"" + output + "\" (error " + std::to_string(e) +
                  ")");
    }
    sources.insert(sources.begin(), CabinetSource{enc_name, temp});
    const Win32Error written = writer_.WriteCabinet(output, sources);
    platform_.files->Delete(temp);
    if (written != kErrorSuccess) {
      return Fail("cannot write \"" + output + "\" (error " +
                  std::to_string(written) + ")");
    }
    out_ << "built " << output << ": " << sources.size() << " files ("
         << enc_name << ")\n";
    return 0;
  }

  int List(const std::vector<std::string>& args) {
    if (args.size() != 1) return Usage("list takes one package");
    CabFile cab(platform_);
    cab.CabName = args[0];
    try {
      out_ << cab.GetXML("") << "\n";
    } catch (const Error& e) {
      return Fail("\"" + args[0] + "\": " + e.Description());
    }
    return 0;
  }

  int Extract(const std::vector<std::string>& args) {
    if (args.size() != 2) return Usage("extract takes a package and a folder");
    if (!CreateFolderPath(*platform_.files, args[1])) {
      return Fail("cannot create the folder \"" + args[1] + "\"");
    }
    CabFile cab(platform_);
    cab.CabName = args[0];
    std::vector<std::string> asked;
    int written = 0;
    cab.BeforeExtract = [&](const std::string& name, bool&) {
      asked.push_back(name);
    };
    cab.AfterExtract = [&](const std::string& target) {
      ++written;
      out_ << target << "\n";
    };
    try {
      cab.Extract("", args[1], "");
    } catch (const Error& e) {
      return Fail("\"" + args[0] + "\": " + e.Description());
    }
    if (written != static_cast<int>(asked.size())) {
      return Fail(std::to_string(asked.size() - written) +
                  " files were not unpacked (names that would leave the "
                  "folder, or folders "
                  "that cannot be created)");
    }
    return 0;
  }

  int Check(const std::vector<std::string>& args) {
    if (args.size() != 1) return Usage("check takes one package");
    const std::vector<PackFinding> found = CheckPackage(platform_, args[0]);
    int errors = 0;
    for (const PackFinding& f : found) {
      out_ << (f.error ? "error: " : "warning: ") << f.text << "\n";
      errors += f.error ? 1 : 0;
    }
    if (errors == 0) {
      out_ << args[0] << ": installs cleanly\n";
      return 0;
    }
    out_ << args[0] << ": " << errors
         << (errors == 1 ? " problem" : " problems") << "\n";
    return 1;
  }

 private:
  std::ostream& out_;
  std::ostream& err_;
  const Platform& platform_;
  CabinetWriter& writer_;
};

}  // namespace

int RunPackTool(const std::vector<std::string>& args, std::ostream& out,
                std::ostream& err, const Platform& platform,
                CabinetWriter& writer, const std::string& version) {
  Tool tool(out, err, platform, writer);
  if (args.empty()) return tool.Usage("no command given");
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "--help" || command == "-h") {
    out << kUsage;
    return 0;
  }
  if (command == "--version") {
    out << "vorelapack " << version << "\n";
    return 0;
  }
  if (command == "build") return tool.Build(rest);
  if (command == "list") return tool.List(rest);
  if (command == "extract") return tool.Extract(rest);
  if (command == "check") return tool.Check(rest);
  return tool.Usage("unknown command \"" + command + "\"");
}

}  // namespace vorela

#include "tools/vorelareg/reg_tool.h"

#include "common/reg_file.h"

namespace vorela {
namespace {

constexpr std::string_view kUsage =
    "Usage: vorelareg export KEY FILE   write KEY and its subkeys to FILE "
    "(\"-\": standard "
    "output)\n"
    "       vorelareg import FILE       carry out the .reg file FILE\n"
    "       vorelareg delete KEY        delete KEY with its values and "
    "subkeys\n"
    "       vorelareg --help | --version\n"
    "KEY is written as HKEY_CURRENT_USER\\SOFTWARE\\VORELA (HKCU and HKLM may "
    "stand for\n"
    "the two roots). Files are written as \"Windows Registry Editor Version "
    "5.00\" in\n"
    "UTF-16LE; import also reads UTF-8 and the older \"REGEDIT4\" form.\n";

RegToolResult Failure(int code, std::string message) {
  RegToolResult result;
  result.exit_code = code;
  result.err = "vorelareg: " + message + "\n";
  return result;
}

std::string Code(Win32Error rc) {
  return " (error " + std::to_string(rc) + ")";
}

RegToolResult Export(const Platform& platform, const std::string& key_text,
                     const std::string& file) {
  RegKey root = 0;
  std::string path;
  if (!ParseRootedKey(key_text, &root, &path))
    return Failure(2, "unknown root key: " + key_text);
  std::string display(RootName(root));
  if (!path.empty()) display += "\\" + path;
  std::string bytes;
  Win32Error rc = ExportRegFile(*platform.registry, *platform.text, root, path,
                                display, &bytes);
  if (rc == kErrorFileNotFound)
    return Failure(1, "the key does not exist: " + key_text);
  if (rc != kErrorSuccess)
    return Failure(1, "cannot open " + key_text + Code(rc));
  RegToolResult result;
  if (file == "-") {
    result.out = std::move(bytes);
  } else if ((rc = platform.files->WriteAtomic(file, bytes)) != kErrorSuccess) {
    return Failure(1, "cannot write " + file + Code(rc));
  }
  return result;
}

RegToolResult Import(const Platform& platform, const std::string& file) {
  std::string bytes;
  if (Win32Error rc = platform.files->ReadAll(file, &bytes)) {
    return Failure(1, "cannot read " + file + Code(rc));
  }
  std::vector<RegStatement> statements;
  std::string error;
  if (!ParseRegFile(bytes, *platform.text, &statements, &error)) {
    return Failure(1, file + ": " + error + "; nothing was imported");
  }
  if (!ApplyRegStatements(*platform.registry, *platform.text, statements,
                          &error)) {
    return Failure(1, file + ": " + error);
  }
  return {};
}

RegToolResult Delete(const Platform& platform, const std::string& key_text) {
  RegKey root = 0;
  std::string path;
  if (!ParseRootedKey(key_text, &root, &path))
    return Failure(2, "unknown root key: " + key_text);
  if (path.find_first_not_of('\\') == std::string::npos) {
    return Failure(2, "a root key cannot be deleted: " + key_text);
  }
  Win32Error rc =
      platform.registry->DeleteTree(root, platform.text->ToAnsi(path));
  if (rc == kErrorFileNotFound)
    return Failure(1, "the key does not exist: " + key_text);
  if (rc != kErrorSuccess)
    return Failure(1, "cannot delete " + key_text + Code(rc));
  return {};
}

}  // namespace

RegToolResult RunRegTool(const Platform& platform,
                         const std::vector<std::string>& args,
                         std::string_view version) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    RegToolResult result;
    result.out = std::string(kUsage);
    return result;
  }
  if (args.size() == 1 && args[0] == "--version") {
    RegToolResult result;
    result.out = "vorelareg " + std::string(version) + "\n";
    return result;
  }
  if (args.size() == 3 && args[0] == "export")
    return Export(platform, args[1], args[2]);
  if (args.size() == 2 && args[0] == "import") return Import(platform, args[1]);
  if (args.size() == 2 && args[0] == "delete") return Delete(platform, args[1]);
  RegToolResult result;
  result.exit_code = 2;
  result.err = std::string(kUsage);
  return result;
}

}  // namespace vorela

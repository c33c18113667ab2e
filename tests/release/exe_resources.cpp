#include "release/exe_resources.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace vorela::release {
namespace {

std::wstring Wide(const std::string& text) {
  const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, out.data(), n);
  return out;
}

std::string Narrow(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

std::optional<std::string> VersionString(const std::string& path, const std::string& key) {
  const std::wstring file = Wide(path);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<char> block(size);
  if (!GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return std::nullopt;
  struct Translation {
    WORD language;
    WORD code_page;
  }* translations = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translations), &length) ||
      length < sizeof(Translation)) {
    return std::nullopt;
  }
  wchar_t query[128];
  std::swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translations->language,
                translations->code_page, Wide(key).c_str());
  wchar_t* value = nullptr;
  if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &length)) {
    return std::nullopt;
  }
  return Narrow(value);
}

std::optional<std::string> ManifestText(const std::string& path) {
  HMODULE module = LoadLibraryExW(Wide(path).c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return std::nullopt;
  std::optional<std::string> text;
  if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
    if (HGLOBAL loaded = LoadResource(module, found)) {
      text.emplace(static_cast<const char*>(LockResource(loaded)),
                   SizeofResource(module, found));
    }
  }
  FreeLibrary(module);
  return text;
}

std::string ReleaseProblems(const std::string& path, const std::string& version) {
  std::string problems;
  const auto expect = [&](const char* key, const std::string& wanted) {
    const auto value = VersionString(path, key);
    if (!value) {
      problems += std::string(key) + ": missing\n";
    } else if (!wanted.empty() && *value != wanted) {
      problems += std::string(key) + ": \"" + *value + "\", not \"" + wanted + "\"\n";
    } else if (value->empty()) {
      problems += std::string(key) + ": empty\n";
    }
  };
  expect("ProductName", "vorela!");
  expect("FileVersion", version);
  expect("ProductVersion", version);
  expect("FileDescription", "");
  const auto manifest = ManifestText(path);
  if (!manifest) return problems + "manifest: missing\n";
  const struct {
    const char* text;
    bool wanted;
  } marks[] = {
      {"level=\"asInvoker\"", true},
      {"name=\"Microsoft.Windows.Common-Controls\"", true},
      {"version=\"6.0.0.0\"", true},
      {">PerMonitorV2, PerMonitor<", true},
      {">true/pm<", true},
      // The ANSI code page stays the system's: stored files depend on it.
      {"activeCodePage", false},
  };
  for (const auto& mark : marks) {
    if ((manifest->find(mark.text) != std::string::npos) != mark.wanted) {
      problems += std::string("manifest: ") + (mark.wanted ? "lacks " : "has ") + mark.text + "\n";
    }
  }
  return problems;
}

}  // namespace vorela::release

// The .reg text format: what "reg export" writes and "reg import" reads.
//
// Export writes the version 5 form exactly as the platform's own tool does:
// UTF-16LE with BOM, CRLF line ends, the header line, each key as a blank line
// and "[path]", then its values in enumeration order ("name"="text", @ for the
// default value, dword:, hex:, hex(N): with lines wrapped the same way), and a
// final blank line. Import reads that form, the same text as UTF-8 (with or
// without BOM), and the older "REGEDIT4" form in the ANSI code page; it checks
// the whole file before it changes anything.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/text.h"

namespace vorela {

// One statement of a .reg file. String-typed data (REG_SZ, REG_EXPAND_SZ,
// REG_MULTI_SZ) is held as UTF-16LE bytes, as the version 5 form writes it;
// all other data as raw bytes.
struct RegStatement {
  enum class Kind { kKey, kDeleteKey, kSetValue, kDeleteValue };
  Kind kind = Kind::kKey;
  int line = 0;
  RegKey root = 0;
  std::string path;  // below root, UTF-8, "\" separated
  std::string name;  // value name, UTF-8; "" for the default value
  std::uint32_t type = 0;
  std::string data;
};

// Parses a whole .reg file. On bad input returns false with *error set to
// "line N: what is wrong" and leaves *statements empty. codec decodes the
// REGEDIT4 form.
bool ParseRegFile(std::string_view bytes, const TextCodec& codec,
                  std::vector<RegStatement>* statements, std::string* error);

// Carries out parsed statements through the registry seam: key lines create
// keys, [-key] removes a tree, "name"=- removes a value (both quietly when
// missing). Stops at the first registry failure with *error set.
bool ApplyRegStatements(Registry& registry, const TextCodec& codec,
                        const std::vector<RegStatement>& statements,
                        std::string* error);

// A key named in the tools' form: "HKEY_CURRENT_USER\SOFTWARE\VORELA", with
// HKCU and HKLM accepted for the two roots. *path is what follows the root.
bool ParseRootedKey(std::string_view text, RegKey* root, std::string* path);

// Exports root\sub_key and everything below it as a version 5 file (UTF-16LE
// bytes with BOM). display is the key's name as the first key line shows it
// (the caller's spelling, root written out in full). Returns the code of
// opening the key; 0 on success.
Win32Error ExportRegFile(Registry& registry, const TextCodec& codec,
                         RegKey root, std::string_view sub_key,
                         std::string_view display, std::string* utf16le);

// The full name of a root for key lines: "HKEY_CURRENT_USER", ...
std::string_view RootName(RegKey root);

}  // namespace vorela

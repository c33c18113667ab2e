// Writing .reg files in the version 5 form, byte for byte as the platform's
// own export writes them.
#include <cstdio>
#include <utility>
#include <vector>

#include "common/reg_file.h"
#include "common/reg_text.h"
#include "common/text_util.h"
#include "platform/registry_key.h"

namespace vorela {
namespace {

// Where the platform's export wraps hex data: a line is broken once it has
// reached this many characters, and continues after "\", CRLF and two blanks.
constexpr std::size_t kMaxHexChars = 77;
constexpr std::uint32_t kNameBufferSize = 32768;
constexpr std::uint32_t kKeyNameBufferSize = 1024;

std::string Escape(std::string_view utf8) {
  std::string out;
  for (char c : utf8) {
    if (c == '\0') break;
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

// Whether "text" in quotes reads back as exactly these REG_SZ bytes: one
// terminator at the end and none before it, and no control character other
// than tab and the escaped line breaks (a raw one would not survive the text
// file, or another tool's reading of it).
bool QuotedFormKeeps(std::string_view ansi_data, std::string_view utf8_text) {
  if (ansi_data.empty() || ansi_data.back() != '\0') return false;
  if (ansi_data.find('\0') != ansi_data.size() - 1) return false;
  for (char c : utf8_text) {
    const auto u = static_cast<unsigned char>(c);
    if ((u < 0x20 && c != '\t' && c != '\r' && c != '\n') || u == 0x7F) return false;
  }
  return true;
}

void AppendHex(std::string* out, std::uint32_t type, std::size_t line_length,
               std::string_view bytes) {
  char prefix[24];
  if (type == kRegBinary) {
    std::snprintf(prefix, sizeof prefix, "hex:");
  } else {
    std::snprintf(prefix, sizeof prefix,
                  "hex(%x):", static_cast<unsigned>(type));
  }
  *out += prefix;
  line_length += std::string_view(prefix).size();
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%02x",
                  static_cast<unsigned char>(bytes[i]));
    *out += digits;
    if (i + 1 == bytes.size()) break;
    out->push_back(',');
    line_length += 3;
    if (line_length >= kMaxHexChars) {
      *out += "\\\r\n  ";
      line_length = 2;
    }
  }
}

// One "name"=data line (with its CRLF).
std::string FormatValue(const TextCodec& codec, std::string_view ansi_name,
                        std::uint32_t type, std::string_view data) {
  std::string line;
  std::string name = codec.FromAnsi(ansi_name);
  line = name.empty() ? "@=" : "\"" + Escape(name) + "\"=";
  std::size_t line_length = Utf16Length(line);
  std::string text = IsStringType(type) ? codec.FromAnsi(data) : std::string();
  if (type == kRegSz &&
      QuotedFormKeeps(data, std::string_view(text).substr(0, text.find('\0')))) {
    line += "\"" + Escape(text) + "\"";
  } else if (type == kRegDword && data.size() == 4) {
    char digits[16];
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i)
      number = (number << 8) | static_cast<unsigned char>(data[i]);
    std::snprintf(digits, sizeof digits, "dword:%08x",
                  static_cast<unsigned>(number));
    line += digits;
  } else if (IsStringType(type)) {
    AppendHex(&line, type, line_length, Utf8ToUtf16Le(text));
  } else {
    AppendHex(&line, type, line_length, data);
  }
  line += "\r\n";
  return line;
}

// The key line and the values of one key.
void ExportOneKey(Registry& registry, const TextCodec& codec, RegKey key,
                  const std::string& display, std::string* text) {
  *text += "\r\n[" + display + "]\r\n";
  std::vector<char> name(kNameBufferSize);
  for (std::uint32_t index = 0;; ++index) {
    std::uint32_t name_size = kNameBufferSize;
    std::uint32_t type = 0;
    std::uint32_t data_size = 0;
    if (registry.EnumValue(key, index, name.data(), &name_size, &type, nullptr,
                           &data_size) != kErrorSuccess) {
      break;
    }
    std::string ansi_name(name.data(), name_size);
    std::string data(data_size, '\0');
    std::uint32_t size = data_size;
    if (registry.QueryValue(key, ansi_name, &type,
                            reinterpret_cast<std::uint8_t*>(data.data()),
                            &size) != kErrorSuccess) {
      continue;
    }
    data.resize(size);
    *text += FormatValue(codec, ansi_name, type, data);
  }
}

}  // namespace

Win32Error ExportRegFile(Registry& registry, const TextCodec& codec,
                         RegKey root, std::string_view sub_key,
                         std::string_view display, std::string* utf16le) {
  struct Frame {
    RegistryKey key;
    std::string display;
    std::uint32_t next = 0;
  };
  RegistryKey top(registry);
  if (Win32Error rc = top.Open(root, codec.ToAnsi(sub_key), kKeyRead)) return rc;
  std::string text = "Windows Registry Editor Version 5.00\r\n";
  ExportOneKey(registry, codec, top.get(), std::string(display), &text);
  // Depth first, each key before its subkeys, without recursion: the depth of
  // a store is not bounded. A key closes when its frame is popped, or with the
  // whole stack when something throws half-way.
  std::vector<Frame> stack;
  stack.push_back({std::move(top), std::string(display)});
  std::vector<char> name(kKeyNameBufferSize);
  while (!stack.empty()) {
    Frame& frame = stack.back();
    std::uint32_t name_size = kKeyNameBufferSize;
    if (registry.EnumKey(frame.key.get(), frame.next++, name.data(), &name_size) !=
        kErrorSuccess) {
      stack.pop_back();
      continue;
    }
    std::string ansi_name(name.data(), name_size);
    RegistryKey child(registry);
    if (child.Open(frame.key.get(), ansi_name, kKeyRead) != kErrorSuccess) continue;
    std::string child_display =
        frame.display + "\\" + codec.FromAnsi(ansi_name);
    ExportOneKey(registry, codec, child.get(), child_display, &text);
    stack.push_back({std::move(child), std::move(child_display)});
  }
  text += "\r\n";
  *utf16le = "\xFF\xFE" + Utf8ToUtf16Le(text);
  return kErrorSuccess;
}

}  // namespace vorela

#include "cabinet/cab_routines.h"

#include <cstring>
#include <vector>

#include "common/error.h"

namespace vorela {

std::string EnsureTrailingBackslash(std::string_view path) {
  std::string out(path);
  if (out.empty() || out.back() != '\\') out += '\\';
  return out;
}

void SplitStoredName(std::string_view name, std::string* folder,
                     std::string* file_name) {
  const std::size_t cut = name.rfind('\\');
  if (cut == std::string_view::npos) {
    folder->clear();
    file_name->assign(name);
    return;
  }
  folder->assign(name.substr(0, cut + 1));
  file_name->assign(name.substr(cut + 1));
}

std::string FolderOf(std::string_view path) {
  const std::size_t cut = path.rfind('\\');
  return cut == std::string_view::npos ? std::string()
                                       : std::string(path.substr(0, cut + 1));
}

bool CreateFolderPath(FileSystem& files, std::string_view path) {
  if (path.empty()) return false;
  std::string p(path);
  if (p.back() == '\\') p.pop_back();
  if (p.empty()) return false;

  Win32Error rc = files.MakeDirectory(p);
  if (rc == kErrorSuccess || rc == kErrorAlreadyExists) return true;
  if (rc != kErrorPathNotFound) return false;

  std::vector<std::string> parts;
  for (std::size_t start = 0;;) {
    const std::size_t cut = p.find('\\', start);
    parts.emplace_back(p.substr(
        start, cut == std::string::npos ? std::string::npos : cut - start));
    if (cut == std::string::npos) break;
    start = cut + 1;
  }
  const auto prefix = [&](std::size_t last) {
    std::string out = parts[0];
    for (std::size_t i = 1; i <= last; ++i) out += "\\" + parts[i];
    return out;
  };

  // Find the deepest existing (or creatable) ancestor, then build downwards.
  std::size_t level = parts.size() - 1;
  bool found = false;
  while (level > 0) {
    --level;
    rc = files.MakeDirectory(prefix(level));
    if (rc == kErrorSuccess || rc == kErrorAlreadyExists) {
      found = true;
      break;
    }
    if (rc != kErrorPathNotFound) return false;
  }
  if (!found) return false;
  for (std::size_t i = level + 1; i < parts.size(); ++i) {
    rc = files.MakeDirectory(prefix(i));
    if (rc != kErrorSuccess && rc != kErrorAlreadyExists) return false;
  }
  return true;
}

std::string AnsiPointerToString(const TextCodec& codec, const char* pointer) {
  if (!pointer) return {};
  return codec.FromAnsi(std::string_view(pointer, std::strlen(pointer)));
}

void WriteTargetName(const TextCodec& codec, char* field, std::size_t size,
                     std::string_view text) {
  const std::string bytes = codec.ToAnsi(text);
  if (bytes.size() >= size) {
    throw Error(RuntimeError::kSubscriptOutOfRange, "CabFile", "Subscript out of range");
  }
  std::memcpy(field, bytes.data(), bytes.size());
  field[bytes.size()] = '\0';
}

namespace {

bool IsLeap(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30,
                                  31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

std::string Two(int value) {
  return std::string(1, static_cast<char>('0' + value / 10)) +
         static_cast<char>('0' + value % 10);
}

}  // namespace

CabDateTime DosStampToDate(std::uint16_t dos_date, std::uint16_t dos_time) {
  CabDateTime out;
  const int year = 1980 + (dos_date >> 9);
  const int month = (dos_date >> 5) & 0x0F;
  const int day = dos_date & 0x1F;
  const int hour = dos_time >> 11;
  const int minute = (dos_time >> 5) & 0x3F;
  const int second = (dos_time & 0x1F) * 2;
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
      hour > 23 || minute > 59 || second > 59) {
    // The conversion to a file time fails and the untouched file time (zero)
    // is what gets converted.
    return CabDateTime{1601, 1, 1, 0, 0, 0};
  }
  out = CabDateTime{year, month, day, hour, minute, second};
  return out;
}

std::string FormatGeneralDate(const CabDateTime& v) {
  std::string out =
      std::to_string(v.Year) + "/" + Two(v.Month) + "/" + Two(v.Day);
  if (v.Hour != 0 || v.Minute != 0 || v.Second != 0) {
    out += " " + std::to_string(v.Hour) + ":" + Two(v.Minute) + ":" +
           Two(v.Second);
  }
  return out;
}

namespace {

constexpr char kClimbs[] = "climbs out of or starts above the unpack folder";
constexpr char kDevice[] = "names a device";
constexpr char kInvalid[] =
    "holds a character or an ending that a Windows file name cannot have";

// A part names a device when its text before the first dot, without trailing
// blanks, is one of the device names; case is ignored.
bool IsDeviceName(std::string_view part) {
  std::string_view base = part.substr(0, part.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  std::string upper;
  for (char c : base)
    upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (upper == device) return true;
  }
  if (upper.size() < 4) return false;
  const std::string_view stem = std::string_view(upper).substr(0, 3);
  if (stem != "COM" && stem != "LPT") return false;
  const std::string_view digit = std::string_view(upper).substr(3);
  // 0-9 and the superscript digits one to three (UTF-8).
  return (digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9') ||
         digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

bool HasReservedCharacter(std::string_view part) {
  for (char c : part) {
    if (static_cast<unsigned char>(c) < 0x20) return true;
    if (std::strchr("<>:\"|?*", c)) return true;
  }
  return false;
}

}  // namespace

const char* StoredNameProblem(std::string_view name) {
  if (name.empty() || name.front() == '\\' || name.front() == '/')
    return kClimbs;
  if (name.size() >= 2 && name[1] == ':') return kClimbs;  // a drive
  if (name.back() == '\\' || name.back() == '/') return kClimbs;
  const char* problem = nullptr;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t cut = name.find_first_of("\\/", start);
    if (cut == std::string_view::npos) cut = name.size();
    const std::string_view part = name.substr(start, cut - start);
    start = cut + 1;
    if (part.empty()) continue;
    // Windows drops trailing dots and blanks from a part, so ". ." and "..."
    // are as dangerous as "..".
    if (part.find_first_not_of(". ") == std::string_view::npos) return kClimbs;
    if (problem) continue;
    if (IsDeviceName(part)) {
      problem = kDevice;
    } else if (HasReservedCharacter(part) || part.back() == '.' ||
               part.back() == ' ') {
      problem = kInvalid;
    }
  }
  return problem;
}

bool IsContainedStoredName(std::string_view name) {
  return StoredNameProblem(name) == nullptr;
}

}  // namespace vorela

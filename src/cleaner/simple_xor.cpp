#include "cleaner/simple_xor.h"

#include <algorithm>

#include "common/error.h"
#include "common/text_util.h"

namespace vorela {

namespace {

constexpr char kSource[] = "clsSimpleXOR";

std::string AnsiBytes(const Platform& platform, std::string_view text) {
  return platform.text != nullptr ? platform.text->ToAnsi(text)
                                  : std::string(text);
}

std::string AnsiText(const Platform& platform, const ByteArray& bytes) {
  std::string_view view(reinterpret_cast<const char*>(bytes.data()),
                        bytes.size());
  return platform.text != nullptr ? platform.text->FromAnsi(view)
                                  : std::string(view);
}

}  // namespace

void clsSimpleXOR::Key(std::string_view new_value) {
  if (new_value == key_) return;
  key_ = std::string(new_value);
  key_bytes_ = AnsiBytes(platform_, new_value);
  // The key repeats after as many bytes as it has characters (so only part of
  // a key with double-byte characters is used), never after more than it has.
  key_length_ = std::min(Utf16Length(new_value), key_bytes_.size());
}

void clsSimpleXOR::Transform(ByteArray& byte_array, std::string_view key) {
  if (!key.empty()) Key(key);
  const std::int64_t n = static_cast<std::int64_t>(byte_array.size());
  if (n > 0 && key_length_ == 0) {
    throw Error(RuntimeError::kDivisionByZero, kSource, "Division by zero");
  }
  ProgressPacer pacer(observer_, n);
  std::int64_t i = 0;
  std::size_t k = 0;
  while (i < n) {
    // XOR up to and including the byte whose index reaches the threshold.
    std::int64_t due = std::max(pacer.Threshold(), i);
    std::int64_t end = std::min(due + 1, n);
    for (; i < end; ++i) {
      byte_array[static_cast<std::size_t>(i)] ^=
          static_cast<std::uint8_t>(key_bytes_[k]);
      if (++k == key_length_) k = 0;
    }
    if (due < n) pacer.Report(due);
  }
  pacer.Finish();
}

void clsSimpleXOR::EncryptByte(ByteArray& byte_array, std::string_view key) {
  Transform(byte_array, key);
}

void clsSimpleXOR::DecryptByte(ByteArray& byte_array, std::string_view key) {
  Transform(byte_array, key);
}

std::string clsSimpleXOR::EncryptString(std::string_view text,
                                        std::string_view key) {
  std::string ansi = AnsiBytes(platform_, text);
  ByteArray bytes(ansi.begin(), ansi.end());
  EncryptByte(bytes, key);
  return AnsiText(platform_, bytes);
}

std::string clsSimpleXOR::DecryptString(std::string_view text,
                                        std::string_view key) {
  if (TrimSpaces(text).empty()) return std::string();
  std::string ansi = AnsiBytes(platform_, text);
  ByteArray bytes(ansi.begin(), ansi.end());
  DecryptByte(bytes, key);
  return AnsiText(platform_, bytes);
}

void clsSimpleXOR::TransformFile(std::string_view source_file,
                                 std::string_view dest_file,
                                 std::string_view key,
                                 const char* missing_source) {
  if (!CipherSourceExists(platform_, source_file)) {
    throw Error(kObjectError, kSource, missing_source);
  }
  ByteArray bytes = ReadCipherFile(platform_, source_file, kSource);
  Transform(bytes, key);
  WriteCipherFile(platform_, dest_file, bytes, kSource);
}

void clsSimpleXOR::EncryptFile(std::string_view source_file,
                               std::string_view dest_file,
                               std::string_view key) {
  TransformFile(source_file, dest_file, key, kXorEncryptFileMissingSource);
}

void clsSimpleXOR::DecryptFile(std::string_view source_file,
                               std::string_view dest_file,
                               std::string_view key) {
  TransformFile(source_file, dest_file, key, kXorDecryptFileMissingSource);
}

}  // namespace vorela

// clsSimpleXOR: a repeating-key XOR scrambler with the outward shape of
// clsBlowfish (byte, string and file forms, an optional key on every call, a
// Progress event). Output has the input's length and carries no header, so a
// wrong key cannot be detected. Errors are thrown as vorela::Error.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/cipher_files.h"
#include "common/progress.h"
#include "platform/platform.h"

namespace vorela {

inline constexpr char kXorEncryptFileMissingSource[] =
    "Error in Skipjack EncryptFile procedure (Source file does not exist).";
inline constexpr char kXorDecryptFileMissingSource[] =
    "Error in Skipjack DecryptFile procedure (Source file does not exist).";

class clsSimpleXOR {
 public:
  // The byte forms need only platform.text; the file forms also platform.files.
  explicit clsSimpleXOR(const Platform& platform) : platform_(platform) {}

  // Source and destination may be the same file; the destination is replaced
  // atomically. A missing source throws kObjectError (without the path).
  void EncryptFile(std::string_view source_file, std::string_view dest_file,
                   std::string_view key = {});
  void DecryptFile(std::string_view source_file, std::string_view dest_file,
                   std::string_view key = {});
  // XOR with the key bytes, repeating. A non-empty array with no key throws 11
  // (Division by zero) before any byte changes.
  void DecryptByte(ByteArray& byte_array, std::string_view key = {});
  void EncryptByte(ByteArray& byte_array, std::string_view key = {});
  std::string EncryptString(std::string_view text, std::string_view key = {});
  // Empty or all-space text gives "" at once (no Progress).
  std::string DecryptString(std::string_view text, std::string_view key = {});

  // The write-only key property; setting the key in force does nothing.
  void Key(std::string_view new_value);

  void SetProgressObserver(ProgressObserver* observer) { observer_ = observer; }

 private:
  void Transform(ByteArray& byte_array, std::string_view key);
  void TransformFile(std::string_view source_file, std::string_view dest_file,
                     std::string_view key, const char* missing_source);

  const Platform& platform_;
  ProgressObserver* observer_ = nullptr;
  std::string key_;
  std::string key_bytes_;
  std::size_t key_length_ = 0;
};

}  // namespace vorela

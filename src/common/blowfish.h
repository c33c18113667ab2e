// clsBlowfish: the system's Blowfish-family cipher in CBC mode with a random
// first block and a length header, over byte arrays, strings and whole files.
//
// The bytes it produces are a contract with the launcher and with packages made
// elsewhere: 16-round Blowfish with our S-box layout and key packing (see
// blowfish_tables.h and blowfish_core.h), CBC with a zero IV, and a 12-byte
// header (two random words, then the data length, all little-endian) before
// the data and its zero padding to a multiple of 8.
//
// Every operation takes an optional key: a non-empty one is applied through
// Key() first; an empty one leaves the current key in force. Errors are thrown
// as vorela::Error.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/blowfish_tables.h"
#include "common/cipher_files.h"
#include "common/progress.h"
#include "platform/platform.h"

namespace vorela {

inline constexpr char kSizeDescriptorError[] =
    "Incorrect size descriptor in Blowfish decryption";
inline constexpr char kEncryptFileMissingSource[] =
    "Error in Skipjack EncryptFile procedure (Source file does not exist).";

class clsBlowfish {
 public:
  // The byte forms need only platform.text (for keys); the file forms also
  // need platform.files. The platform must outlive the object.
  explicit clsBlowfish(const Platform& platform);

  // Lays out header + data + padding and encrypts it in place.
  void EncryptByte(ByteArray& byte_array, std::string_view key = {});
  // ANSI bytes of text, encrypted, read back as ANSI text (no hex or base64).
  std::string EncryptString(std::string_view text, std::string_view key = {});
  std::string DecryptString(std::string_view text, std::string_view key = {});
  // Reads SourceFile whole, encrypts it and replaces DestFile atomically (the
  // two may be the same file). A missing source throws. An empty source is
  // empty data (a 16-byte result).
  bool EncryptFile(std::string_view source_file, std::string_view dest_file,
                   std::string_view key = {});
  // Never throws. True only when DestFile has been written with the plain
  // data; on a missing source, a read failure, data that does not decrypt
  // (wrong key, damaged or truncated file) or a failed write it is false and
  // DestFile is left as it was.
  bool DecryptFile(std::string_view source_file, std::string_view dest_file,
                   std::string_view key = {});
  // Decrypts in place and leaves exactly the data that was encrypted. A length
  // that is not a multiple of 8 or is below 16 throws 9 (Subscript out of
  // range) with the array untouched; a bad size descriptor throws kObjectError
  // with the array block-decrypted but not shortened.
  void DecryptByte(ByteArray& byte_array, std::string_view key = {});

  // The write-only key property. Setting the key in force does nothing; a new
  // key is mixed into the state the previous one left.
  void Key(std::string_view new_value);

  // The Progress observer (may be null); not owned.
  void SetProgressObserver(ProgressObserver* observer) { observer_ = observer; }

 private:
  // The stream forms start from the state a key leaves.
  friend BlowfishState KeyedBlowfishState(const Platform& platform, std::string_view key);

  void ApplyKey(std::string_view key);

  const Platform& platform_;
  ProgressObserver* observer_ = nullptr;
  std::string key_;
  BlowfishState state_;
};

}  // namespace vorela

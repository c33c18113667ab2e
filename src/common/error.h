// The one exception type of the system's classes: a number, a source and a
// description, as the programs report errors to each other and to the user.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace vorela {

// The first number that an object may use for its own errors.
inline constexpr std::int32_t kObjectError = static_cast<std::int32_t>(0x80040000u);

class Error : public std::exception {
 public:
  Error(std::int32_t number, std::string source, std::string description)
      : number_(number), source_(std::move(source)), description_(std::move(description)) {}

  std::int32_t Number() const { return number_; }
  const std::string& Source() const { return source_; }
  const std::string& Description() const { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

  void SetSource(std::string source) { source_ = std::move(source); }
  void SetDescription(std::string description) { description_ = std::move(description); }

 private:
  std::int32_t number_;
  std::string source_;
  std::string description_;
};

// The platform's run-time errors that are not object errors, with the numbers
// the programs' error boxes and callers have always seen for them.
inline constexpr std::int32_t kErrorDivisionByZero = 11;
inline constexpr std::int32_t kErrorSubscriptOutOfRange = 9;
inline constexpr std::int32_t kErrorTypeMismatch = 13;
inline constexpr std::int32_t kErrorOverflow = 6;
inline constexpr std::int32_t kErrorFileNotFoundRt = 53;
inline constexpr std::int32_t kErrorPathFileAccess = 75;
inline constexpr std::int32_t kErrorPathNotFoundRt = 76;
inline constexpr std::int32_t kErrorPermissionDenied = 70;
inline constexpr std::int32_t kErrorDiskFullRt = 61;
inline constexpr std::int32_t kErrorFileAlreadyExists = 58;
inline constexpr std::int32_t kErrorDeviceIo = 57;

}  // namespace vorela

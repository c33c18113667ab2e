// The one exception type of the system's classes: a number, a source and a
// description, as the programs report errors to each other and to the user.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <type_traits>
#include <utility>

namespace vorela {

// The first number that an object may use for its own errors.
inline constexpr std::int32_t kObjectError = static_cast<std::int32_t>(0x80040000u);

// The language's run-time error numbers, with the numbers the programs' error
// boxes and callers have always seen for them. They are their own type because
// the same small numbers mean other things as Win32 codes (run-time 6 is an
// overflow, Win32 6 an invalid handle): neither converts to the other.
enum class RuntimeError : std::int32_t {
  kOverflow = 6,
  kOutOfMemory = 7,
  kSubscriptOutOfRange = 9,
  kDivisionByZero = 11,
  kTypeMismatch = 13,
  kFileNotFound = 53,
  kDeviceIo = 57,
  kFileAlreadyExists = 58,
  kDiskFull = 61,
  kPermissionDenied = 70,
  kPathFileAccess = 75,
  kPathNotFound = 76,
  kCannotCreateObject = 429,
};

// The number an Error carries for a run-time error.
constexpr std::int32_t ErrorNumber(RuntimeError error) {
  return static_cast<std::int32_t>(error);
}

class Error : public std::exception {
 public:
  Error(std::int32_t number, std::string source, std::string description)
      : number_(number), source_(std::move(source)), description_(std::move(description)) {}
  Error(RuntimeError error, std::string source, std::string description)
      : Error(ErrorNumber(error), std::move(source), std::move(description)) {}
  // An unsigned number is a Win32 code, never an error number: it has to be
  // turned into one (as the file helpers do) before it is raised.
  template <typename T>
    requires std::is_unsigned_v<T>
  Error(T, std::string, std::string) = delete;

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

}  // namespace vorela

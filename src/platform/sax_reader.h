// SAX seam: the platform's streaming XML reader.
//
// The reader walks a file once and calls its handlers in document order on the
// caller's thread. It reports element local names (namespace prefixes removed),
// character data with character and entity references resolved and every line
// end as "\n" (a carriage return written as a reference too, as the Windows
// reader delivers it), and the line and column of every error.
//
// How character data is cut into chunks is the reader's affair: one run of text
// may arrive in any number of Characters calls (per line, around references,
// whitespace between elements included). Handlers that care about runs must
// join the chunks themselves, between the element calls.
//
// Handlers never throw into the reader: each callback returns kSaxContinue to
// go on or any other number to stop the parse at once, and that number becomes
// the parse's result. After a handler has stopped the parse no further callback
// arrives. A document type declaration is refused as a document error, so no
// entity defined by a document is ever expanded.
//
// Backends return their results and never throw or print.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorela {

using SaxResult = std::int32_t;
inline constexpr SaxResult kSaxContinue = 0;

// Where the reader stands: 1-based line and column.
struct SaxLocation {
  std::int64_t line = 0;
  std::int64_t column = 0;
};

class SaxContentHandler {
 public:
  virtual ~SaxContentHandler() = default;
  virtual SaxResult StartElement(std::string_view namespace_uri, std::string_view local_name) = 0;
  virtual SaxResult EndElement(std::string_view namespace_uri, std::string_view local_name) = 0;
  virtual SaxResult Characters(std::string_view text) = 0;

  // Whether the handler keeps character data now. The reader reads it when the
  // parse starts and after every element call; while it is false the reader
  // may leave out Characters calls, which saves the calls (and, on Windows,
  // the conversions) for text nobody keeps. A flag rather than a call, since
  // it is read for every element of a document. A handler changes it before
  // the parse or from inside its element calls; a change made elsewhere may be
  // seen only after the next element call.
  bool wants_characters() const { return wants_characters_; }

 protected:
  void set_wants_characters(bool want) { wants_characters_ = want; }

 private:
  bool wants_characters_ = true;
};

class SaxErrorHandler {
 public:
  virtual ~SaxErrorHandler() = default;
  // A recoverable error; returning kSaxContinue lets the parse go on.
  virtual SaxResult RecoverableError(const SaxLocation& where, std::string_view message,
                                     std::int32_t code) = 0;
  // The document cannot be parsed further; the parse fails whatever is
  // returned.
  virtual SaxResult FatalError(const SaxLocation& where, std::string_view message,
                               std::int32_t code) = 0;
  virtual SaxResult IgnorableWarning(const SaxLocation& where, std::string_view message,
                                     std::int32_t code) = 0;
};

enum class SaxOutcome {
  kCompleted,         // the end of a well-formed document was reached
  kStoppedByHandler,  // a handler returned a number other than kSaxContinue
  kDocumentError,     // not well-formed; FatalError was called first
  kReadError,         // the file could not be opened or read
  kUnavailable,       // the reader itself could not be created
};

struct SaxStatus {
  SaxOutcome outcome = SaxOutcome::kCompleted;
  // 0 when completed; the handler's number when a handler stopped the parse;
  // otherwise the reader's own error code (backend-specific, never 0).
  std::int32_t number = 0;
  SaxLocation where;
  std::string message;

  bool ok() const { return outcome == SaxOutcome::kCompleted; }
};

class SaxReader {
 public:
  virtual ~SaxReader() = default;
  // Parses the file at path (Windows form). Every reader object it needs is
  // created for this call and released before it returns, whatever the outcome.
  virtual SaxStatus Parse(std::string_view path, SaxContentHandler& content,
                          SaxErrorHandler& errors) = 0;
};

// The reader of this build (MSXML 6.0 through COM on Windows, expat elsewhere).
SaxReader& SystemSaxReader();

}  // namespace vorela

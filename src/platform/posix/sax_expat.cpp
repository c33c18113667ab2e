// The SAX reader over expat: the file is read in fixed chunks straight into
// expat's own buffer, so memory stays the same whatever the document's size
// (beyond a few bytes per open element, as in expat itself).
#include <expat.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/error_codes.h"
#include "platform/posix/errno_map.h"
#include "platform/posix/expat_encoding.h"
#include "platform/posix/machine.h"
#include "platform/sax_reader.h"

namespace vorela {
namespace {

constexpr int kChunkSize = 64 * 1024;
// Separates the namespace URI from the local name in the names expat reports.
// U+0001 cannot occur in an XML 1.0 document, not even as a reference.
constexpr char kNamespaceSeparator = '\x01';
// Our own code for a refused document type declaration, above expat's codes.
constexpr std::int32_t kDtdProhibited = 1000;

using posix::FromErrno;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

class ExpatParser {
 public:
  ExpatParser() : parser_(XML_ParserCreateNS(nullptr, kNamespaceSeparator)) {}
  ~ExpatParser() {
    if (parser_) XML_ParserFree(parser_);
  }
  ExpatParser(const ExpatParser&) = delete;
  ExpatParser& operator=(const ExpatParser&) = delete;
  XML_Parser get() const { return parser_; }

 private:
  XML_Parser parser_;
};

// Splits "uri\x01local" (or a bare "local") as expat reports names.
void SplitQualifiedName(const XML_Char* name, std::string_view* uri, std::string_view* local) {
  // Names are short: one plain pass beats two library calls. The separator
  // and the terminator are the only bytes below 2, so one test per byte finds
  // both.
  static_assert(kNamespaceSeparator == '\x01');
  const XML_Char* cut = nullptr;
  const XML_Char* end = name;
  for (;; ++end) {
    if (static_cast<unsigned char>(*end) > 1) continue;
    if (*end == '\0') break;
    cut = end;
  }
  if (cut == nullptr) {
    *uri = {};
    *local = std::string_view(name, static_cast<std::size_t>(end - name));
  } else {
    *uri = std::string_view(name, static_cast<std::size_t>(cut - name));
    *local = std::string_view(cut + 1, static_cast<std::size_t>(end - cut - 1));
  }
}

void XMLCALL OnText(void* data, const XML_Char* text, int length);

// State shared with expat's callbacks for one parse.
struct Session {
  XML_Parser parser = nullptr;
  SaxContentHandler* content = nullptr;
  bool text_on = false;  // whether OnText is installed
  // Namespace declarations whose elements are open. While there are none, no
  // name carries a namespace, so the library's length count (whose branches
  // do not depend on the length, unlike a byte loop's) is all a name needs.
  int declarations_in_scope = 0;
  // Where the local part of each open element's name lies. Expat reports an
  // end tag with the name of its start, so the end needs no second count.
  struct NameParts {
    std::uint32_t local_offset;  // past "uri\x01", or 0 for a bare name
    std::uint32_t local_size;
  };
  std::vector<NameParts> open_names;
  bool stopped = false;  // by a handler or by a refused declaration
  bool dtd_refused = false;
  bool out_of_memory = false;  // the stack of open names could not grow
  SaxResult stop_number = kSaxContinue;
  SaxLocation stop_where;

  SaxLocation Where() const {
    return {static_cast<std::int64_t>(XML_GetCurrentLineNumber(parser)),
            static_cast<std::int64_t>(XML_GetCurrentColumnNumber(parser)) + 1};
  }

  // False when the name's parts cannot be kept for its end tag.
  bool SplitStartName(const XML_Char* name, std::string_view* uri,
                      std::string_view* local) noexcept {
    if (declarations_in_scope == 0) {
      *uri = {};
      *local = name;
    } else {
      SplitQualifiedName(name, uri, local);
    }
    try {
      open_names.push_back({static_cast<std::uint32_t>(local->data() - name),
                            static_cast<std::uint32_t>(local->size())});
    } catch (...) {
      return false;
    }
    return true;
  }

  void SplitEndName(const XML_Char* name, std::string_view* uri, std::string_view* local) {
    if (open_names.empty()) {  // never, while expat pairs every end with its start
      SplitQualifiedName(name, uri, local);
      return;
    }
    const NameParts parts = open_names.back();
    open_names.pop_back();
    *uri = parts.local_offset == 0 ? std::string_view()
                                   : std::string_view(name, parts.local_offset - 1);
    *local = std::string_view(name + parts.local_offset, parts.local_size);
  }

  void Check(SaxResult result) {
    if (result != kSaxContinue) Stop(result);
  }

  // Installs expat's text handler only while the content handler keeps text:
  // expat then cuts no text into calls for the elements nobody wants.
  void FollowTextWish() {
    const bool want = content->wants_characters();
    if (want != text_on) {
      XML_SetCharacterDataHandler(parser, want ? OnText : nullptr);
      text_on = want;
    }
  }

  void AfterElement(SaxResult result) {
    if (result != kSaxContinue) {
      Stop(result);
      return;
    }
    FollowTextWish();
  }

  void Stop(SaxResult result);
};

void Session::Stop(SaxResult result) {
  stopped = true;
  stop_number = result;
  stop_where = Where();
  XML_StopParser(parser, XML_FALSE);
}

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** /*attributes*/) {
  auto* s = static_cast<Session*>(data);
  if (s->stopped) return;
  std::string_view uri, local;
  if (!s->SplitStartName(name, &uri, &local)) {
    // Nothing may unwind through expat; the parse ends as when expat itself
    // runs out of memory.
    s->stopped = true;
    s->out_of_memory = true;
    XML_StopParser(s->parser, XML_FALSE);
    return;
  }
  s->AfterElement(s->content->StartElement(uri, local));
}

void XMLCALL OnEnd(void* data, const XML_Char* name) {
  auto* s = static_cast<Session*>(data);
  if (s->stopped) return;
  std::string_view uri, local;
  s->SplitEndName(name, &uri, &local);
  s->AfterElement(s->content->EndElement(uri, local));
}

// Expat reports a namespace declaration before the start of its element and
// its end after the element's end.
void XMLCALL OnDeclarationStart(void* data, const XML_Char*, const XML_Char*) {
  ++static_cast<Session*>(data)->declarations_in_scope;
}

void XMLCALL OnDeclarationEnd(void* data, const XML_Char*) {
  --static_cast<Session*>(data)->declarations_in_scope;
}

void XMLCALL OnText(void* data, const XML_Char* text, int length) {
  auto* s = static_cast<Session*>(data);
  if (s->stopped) return;
  // Expat has turned the file's line ends into "\n" already; a carriage return
  // that is left came from a reference (&#13;). The Windows reader delivers
  // that one as "\n" too, and both builds must hand over the same text. Expat
  // hands every character reference over in a call of its own, so only a
  // one-character chunk needs looking at (the seam's tests hold expat to it).
  if (length == 1 && *text == '\r') {
    s->Check(s->content->Characters("\n"));
    return;
  }
  s->Check(s->content->Characters(std::string_view(text, static_cast<std::size_t>(length))));
}

void XMLCALL OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
  auto* s = static_cast<Session*>(data);
  if (s->stopped) return;
  s->stopped = true;
  s->dtd_refused = true;
  s->stop_where = s->Where();
  XML_StopParser(s->parser, XML_FALSE);
}

class ExpatSaxReader final : public SaxReader {
 public:
  SaxStatus Parse(std::string_view path, SaxContentHandler& content,
                  SaxErrorHandler& errors) override {
    SaxStatus status;
    ExpatParser parser;
    if (!parser.get()) {
      status.outcome = SaxOutcome::kUnavailable;
      status.number = static_cast<std::int32_t>(kErrorNotEnoughMemory);
      status.message = "The XML reader cannot be created.";
      return status;
    }
    const std::string native = posix::NativePath(path);
    if (path.find('\0') != std::string_view::npos) return ReadFailure(ENOENT);
    FileDescriptor fd(open(native.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return ReadFailure(errno);

    Session session;
    session.parser = parser.get();
    session.content = &content;
    XML_SetUserData(parser.get(), &session);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetNamespaceDeclHandler(parser.get(), OnDeclarationStart, OnDeclarationEnd);
    session.FollowTextWish();
    XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);
    XML_SetUnknownEncodingHandler(parser.get(), posix::DescribeUnknownEncoding, nullptr);

    for (;;) {
      void* buffer = XML_GetBuffer(parser.get(), kChunkSize);
      if (!buffer) return OutOfMemory();
      ssize_t got;
      do {
        got = read(fd.get(), buffer, kChunkSize);
      } while (got < 0 && errno == EINTR);
      if (got < 0) return ReadFailure(errno);
      const bool last = got == 0;
      if (XML_ParseBuffer(parser.get(), static_cast<int>(got), last) != XML_STATUS_OK) {
        return Failure(session, errors);
      }
      if (last) return status;
    }
  }

 private:
  static SaxStatus ReadFailure(int e) {
    SaxStatus status;
    status.outcome = SaxOutcome::kReadError;
    status.number = static_cast<std::int32_t>(FromErrno(e));
    status.message = std::strerror(e);
    return status;
  }

  static SaxStatus OutOfMemory() {
    SaxStatus status;
    status.outcome = SaxOutcome::kReadError;
    status.number = static_cast<std::int32_t>(kErrorNotEnoughMemory);
    status.message = "Out of memory.";
    return status;
  }

  static SaxStatus Failure(const Session& session, SaxErrorHandler& errors) {
    if (session.out_of_memory) return OutOfMemory();
    SaxStatus status;
    if (session.stopped && !session.dtd_refused) {
      status.outcome = SaxOutcome::kStoppedByHandler;
      status.number = session.stop_number;
      status.where = session.stop_where;
      status.message = "Stopped by the handler.";
      return status;
    }
    status.outcome = SaxOutcome::kDocumentError;
    if (session.dtd_refused) {
      status.number = kDtdProhibited;
      status.where = session.stop_where;
      status.message = "A document type declaration is not allowed.";
    } else {
      const XML_Error code = XML_GetErrorCode(session.parser);
      status.number = static_cast<std::int32_t>(code);
      status.where = session.Where();
      const XML_LChar* text = XML_ErrorString(code);
      status.message = text ? text : "Malformed document.";
    }
    errors.FatalError(status.where, status.message, status.number);
    return status;
  }
};

}  // namespace

SaxReader& SystemSaxReader() {
  static ExpatSaxReader reader;
  return reader;
}

}  // namespace vorela

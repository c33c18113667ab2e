#include "cleaner/xml_file_parser.h"

#include <utility>

#include "cleaner/xml_reader_error.h"
#include "common/text_util.h"

namespace vorela {
namespace {

constexpr char kParseLabel[] = "[clsXMLFileParser][ParseXMLFile]";
constexpr char kStartElementLabel[] = "[clsXMLFileParser][IVBSAXContentHandler_startElement]";
constexpr char kEndElementLabel[] = "[clsXMLFileParser][IVBSAXContentHandler_endElement]";
constexpr char kCharactersLabel[] = "[clsXMLFileParser][IVBSAXContentHandler_characters]";
constexpr char kErrorHandlerLabel[] = "[clsXMLFileParser][IVBSAXErrorHandler_error]";

// The number a stopped parse reports when the failure carried none (E_FAIL).
constexpr std::int32_t kFailNumber = static_cast<std::int32_t>(0x80004005u);
// "Can't create object", the platform's number for a reader that is missing.
constexpr std::int32_t kCannotCreateObject = 429;

const std::string kNoPath;

// A failed check of ParseXMLFile: raised as it is, without a second prefix.
struct CheckFailure {
  Error error;
};

[[noreturn]] void FailCheck(std::int32_t number, const std::string& message) {
  throw CheckFailure{Error(number, kParseLabel, std::string(kParseLabel) + message)};
}

std::vector<std::string_view> SplitPath(std::string_view entry) {
  std::vector<std::string_view> segments;
  std::size_t start = 0;
  for (;;) {
    std::size_t cut = entry.find('\\', start);
    if (cut == std::string_view::npos) {
      segments.push_back(entry.substr(start));
      return segments;
    }
    segments.push_back(entry.substr(start, cut - start));
    start = cut + 1;
  }
}

// Clears a flag when the scope ends, however it ends.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

clsXMLFileParser::clsXMLFileParser(const Platform& platform) : platform_(platform) {}

clsXMLFileParser::~clsXMLFileParser() {
  current_ = nullptr;
  root_.reset();
}

void clsXMLFileParser::SetXMLNodeHandler(XMLNodeHandler handler) {
  if (raising_) {
    next_handler_ = std::move(handler);
  } else {
    on_xml_node_ = std::move(handler);
  }
}

void clsXMLFileParser::ParseXMLFile(const std::string& FilePath,
                                    const std::vector<std::string>& XMLPaths) {
  try {
    // The tree and the walk through it belong to the parse that is running;
    // a handler that starts another parse on this object would pull them away.
    if (parsing_) FailCheck(1, "A parse of this parser is already running.");
    CheckFileExists(FilePath);
    if (XMLPaths.empty()) FailCheck(1, "Invalid XML Path Array Encountered.");
    BuildTree(XMLPaths);

    // A parse that failed half-way must not leave its flags to the next one.
    ResetState();
    reader_error_.reset();
    current_ = root_.get();
    if (platform_.sax == nullptr) {
      throw Error(kCannotCreateObject, "SAXXMLReader60", "The XML reader is not available.");
    }
    SaxStatus status;
    {
      FlagScope parsing(parsing_);
      status = platform_.sax->Parse(FilePath, *this, *this);
    }
    ResetState();
    switch (status.outcome) {
      case SaxOutcome::kCompleted:
        return;
      case SaxOutcome::kUnavailable:
        throw Error(status.number != 0 ? status.number : kCannotCreateObject, "SAXXMLReader60",
                    status.message);
      default:
        FailCheck(status.number != 0 ? status.number : kFailNumber,
                  "Malformed XML File Encountered! " + FilePath);
    }
  } catch (CheckFailure& failure) {
    throw std::move(failure.error);
  } catch (...) {
    RethrowWithPrefix(kParseLabel, kParseLabel);
  }
}

void clsXMLFileParser::CheckFileExists(const std::string& FilePath) const {
  bool found = false;
  try {
    if (!TrimSpaces(FilePath).empty() && platform_.files != nullptr &&
        FilePath.find('\0') == std::string::npos) {
      FileEntry entry;
      found = platform_.files->FindEntry(FilePath, &entry) == kErrorSuccess &&
              !entry.is_directory && !entry.is_hidden && !entry.is_system;
    }
  } catch (...) {
    found = false;
  }
  if (!found) FailCheck(1, "File '" + FilePath + "' does not exists.");
}

void clsXMLFileParser::BuildTree(const std::vector<std::string>& XMLPaths) {
  std::unique_ptr<clsXMLNode> root;
  for (const std::string& entry : XMLPaths) {
    if (TrimSpaces(entry).empty()) FailCheck(1, "Invalid XML Path.");
    if (entry.front() == '\\' || entry.back() == '\\' || entry.find("\\\\") != std::string::npos) {
      FailCheck(1, "Invalid XML Path Encountered.");
    }
    const std::vector<std::string_view> segments = SplitPath(entry);
    for (std::string_view segment : segments) {
      if (TrimSpaces(segment).empty()) FailCheck(1, "Invalid XML Path Encountered.");
    }
    if (!root) {
      root = std::make_unique<clsXMLNode>();
      root->Initialize(root.get(), segments[0], segments[0]);
    } else if (!XmlNamesEqual(segments[0], root->MyName())) {
      FailCheck(1, "XML Paths Contain different Roots.");
    }
    clsXMLNode* node = root.get();
    for (std::size_t i = 1; i < segments.size(); ++i) {
      clsXMLNode* child = node->GetChild(segments[i]);
      node = child != nullptr ? child : node->AddChild(segments[i]);
    }
  }
  current_ = nullptr;
  root_ = std::move(root);
}

void clsXMLFileParser::ResetState() {
  capture_ = false;
  set_wants_characters(false);
  skip_ = false;
  closing_name_.Clear();
  capture_path_ = &kNoPath;
  content_.clear();
  run_start_ = 0;
}

// The element calls: the reader makes two for every element of a document, so
// the common cases (inside a skip, walking the tree) are decided here without
// a call; whatever may allocate or raise the event is left to the helpers,
// which catch what they raise.
SaxResult clsXMLFileParser::StartElement(std::string_view, std::string_view local_name) noexcept {
  if (skip_) return kSaxContinue;
  if (capture_) return AppendTag("<", local_name, kStartElementLabel);
  clsXMLNode* next =
      XmlNamesEqual(local_name, current_->MyName()) ? current_ : current_->GetChild(local_name);
  if (next == nullptr) return StartSkip(local_name);
  current_ = next;
  return next->EndNode() ? StartCapture(local_name) : kSaxContinue;
}

SaxResult clsXMLFileParser::EndElement(std::string_view, std::string_view local_name) noexcept {
  if (skip_) {
    if (XmlNamesEqual(local_name, closing_name_.view())) skip_ = false;
    return kSaxContinue;
  }
  if (capture_) {
    return XmlNamesEqual(local_name, closing_name_.view())
               ? EndCapture()
               : AppendTag("</", local_name, kEndElementLabel);
  }
  if (current_ != root_.get() && XmlNamesEqual(current_->MyName(), local_name)) {
    current_ = current_->MyParent();
  }
  return kSaxContinue;
}

SaxResult clsXMLFileParser::Characters(std::string_view text) noexcept {
  if (!capture_ || skip_) return kSaxContinue;
  try {
    content_.append(text);
    return kSaxContinue;
  } catch (...) {
    return Fail(kCharactersLabel);
  }
}

SaxResult clsXMLFileParser::StartSkip(std::string_view local_name) noexcept {
  try {
    skip_ = true;
    closing_name_.Assign(local_name);
    return kSaxContinue;
  } catch (...) {
    return Fail(kStartElementLabel);
  }
}

SaxResult clsXMLFileParser::StartCapture(std::string_view local_name) noexcept {
  try {
    capture_ = true;
    set_wants_characters(true);
    capture_path_ = &current_->MyPath();
    closing_name_.Assign(local_name);
    content_.clear();
    run_start_ = 0;
    return kSaxContinue;
  } catch (...) {
    return Fail(kStartElementLabel);
  }
}

SaxResult clsXMLFileParser::EndCapture() noexcept {
  try {
    EndTextRun();
    capture_ = false;
    set_wants_characters(false);
    RaiseXMLNode();
    // Back to the leaf's parent. The closing name and the capture path are
    // set afresh whenever a skip or a capture starts, so they are not carried
    // up here: nothing reads them before then.
    if (current_ != root_.get()) current_ = current_->MyParent();
    content_.clear();
    run_start_ = 0;
    return kSaxContinue;
  } catch (...) {
    return Fail(kEndElementLabel);
  }
}

// A tag inside a captured element, rebuilt bare: "<name>" or "</name>".
SaxResult clsXMLFileParser::AppendTag(std::string_view opening, std::string_view local_name,
                                      const char* label) noexcept {
  try {
    EndTextRun();
    content_.append(opening).append(local_name).append(">");
    run_start_ = content_.size();
    return kSaxContinue;
  } catch (...) {
    return Fail(label);
  }
}

// A run of text between two tags that is exactly one "\r\n" is dropped.
void clsXMLFileParser::EndTextRun() {
  if (content_.size() - run_start_ == 2 && content_.compare(run_start_, 2, "\r\n") == 0) {
    content_.resize(run_start_);
  }
  run_start_ = content_.size();
}

void clsXMLFileParser::RaiseXMLNode() {
  if (!on_xml_node_) return;
  {
    FlagScope raising(raising_);
    on_xml_node_(*capture_path_, content_);
  }
  if (next_handler_) {
    on_xml_node_ = std::move(*next_handler_);
    next_handler_.reset();
  }
}

SaxResult clsXMLFileParser::RecoverableError(const SaxLocation& where, std::string_view message,
                                             std::int32_t code) noexcept {
  return ReaderFailure(where, message, code);
}

SaxResult clsXMLFileParser::FatalError(const SaxLocation& where, std::string_view message,
                                       std::int32_t code) noexcept {
  return ReaderFailure(where, message, code);
}

SaxResult clsXMLFileParser::IgnorableWarning(const SaxLocation&, std::string_view,
                                             std::int32_t) noexcept {
  return kSaxContinue;
}

// Called from inside a catch block of a content callback: keeps the error for
// after the parse and tells the reader to stop; nothing unwinds into it.
SaxResult clsXMLFileParser::Fail(std::string_view label) noexcept {
  try {
    Error error = CurrentError(label);
    error.SetDescription(std::string(label) + " " + error.Description());
    const std::int32_t number = error.Number() != 0 ? error.Number() : kFailNumber;
    reader_error_ = std::move(error);
    return number;
  } catch (...) {
    return kFailNumber;
  }
}

SaxResult clsXMLFileParser::ReaderFailure(const SaxLocation& where, std::string_view message,
                                          std::int32_t code) noexcept {
  try {
    reader_error_ = Error(
        code, "Line: " + std::to_string(where.line) + " Column: " + std::to_string(where.column),
        std::string(kErrorHandlerLabel) + " " + std::string(message));
  } catch (...) {
  }
  return code != 0 ? code : kFailNumber;
}

}  // namespace vorela

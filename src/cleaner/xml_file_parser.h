// clsXMLFileParser: reads an XML file in one streaming pass and reports the
// content of the wanted elements through the XMLNode event.
//
// The caller names the wanted elements by backslash-separated paths from the
// document element ("xmlroot\menu\URL"). Every occurrence of a wanted element
// raises XMLNode(path, content) in document order, from inside the parse, with
// the path spelled as the caller first wrote it. Elements on no wanted path are
// skipped with everything inside them. Memory is the path tree plus one content
// buffer, whatever the size of the document.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cleaner/kept_name.h"
#include "cleaner/xml_node.h"
#include "common/error.h"
#include "platform/platform.h"
#include "platform/sax_reader.h"

namespace vorela {

class clsXMLFileParser final : private SaxContentHandler, private SaxErrorHandler {
 public:
  using XMLNodeHandler =
      std::function<void(const std::string& XMLPath, const std::string& XMLContent)>;

  // Uses platform.files for the existence check and platform.sax to read.
  explicit clsXMLFileParser(const Platform& platform);
  ~clsXMLFileParser() override;
  clsXMLFileParser(const clsXMLFileParser&) = delete;
  clsXMLFileParser& operator=(const clsXMLFileParser&) = delete;

  // The observer of the XMLNode event; set it before ParseXMLFile.
  // A handler set from inside the event takes over after the event returns.
  void SetXMLNodeHandler(XMLNodeHandler handler);

  // Parses FilePath and raises XMLNode for every wanted element. Every failure
  // is raised as vorela::Error; events raised before a failure stay delivered.
  void ParseXMLFile(const std::string& FilePath, const std::vector<std::string>& XMLPaths);

  // The error raised inside the reader's callbacks that stopped the last parse
  // (for a malformed file: the reader's message, with line and column as its
  // source). ParseXMLFile itself reports such failures as a malformed file.
  const std::optional<Error>& ReaderError() const { return reader_error_; }

 private:
  void CheckFileExists(const std::string& FilePath) const;
  void BuildTree(const std::vector<std::string>& XMLPaths);
  void ResetState();

  // The reader's callbacks.
  SaxResult StartElement(std::string_view namespace_uri,
                         std::string_view local_name) noexcept override;
  SaxResult EndElement(std::string_view namespace_uri,
                       std::string_view local_name) noexcept override;
  SaxResult Characters(std::string_view text) noexcept override;
  SaxResult RecoverableError(const SaxLocation& where, std::string_view message,
                             std::int32_t code) noexcept override;
  SaxResult FatalError(const SaxLocation& where, std::string_view message,
                       std::int32_t code) noexcept override;
  SaxResult IgnorableWarning(const SaxLocation& where, std::string_view message,
                             std::int32_t code) noexcept override;

  // The reader's element calls test their common cases inline and leave the
  // rest, which may allocate or raise the event, to these.
  SaxResult StartSkip(std::string_view local_name) noexcept;
  SaxResult StartCapture(std::string_view local_name) noexcept;
  SaxResult EndCapture() noexcept;
  SaxResult AppendTag(std::string_view opening, std::string_view local_name,
                      const char* label) noexcept;
  void EndTextRun();
  void RaiseXMLNode();
  SaxResult Fail(std::string_view label) noexcept;
  SaxResult ReaderFailure(const SaxLocation& where, std::string_view message,
                          std::int32_t code) noexcept;

  Platform platform_;
  XMLNodeHandler on_xml_node_;
  std::optional<XMLNodeHandler> next_handler_;  // set while the event runs
  bool raising_ = false;
  std::unique_ptr<clsXMLNode> root_;
  clsXMLNode* current_ = nullptr;  // not owned
  // The reader is told to send text only while capturing (wants_characters).
  bool capture_ = false;
  bool skip_ = false;
  bool parsing_ = false;
  // The name whose end tag ends the skip or the capture.
  KeptName closing_name_;
  // MyPath of the leaf being captured, kept by the tree while it lives.
  const std::string* capture_path_ = nullptr;
  std::string content_;
  // Where the current run of text began in content_: the reader may cut one
  // run into any number of chunks, so runs are judged whole at the next tag.
  std::size_t run_start_ = 0;
  std::optional<vorela::Error> reader_error_;
};

}  // namespace vorela

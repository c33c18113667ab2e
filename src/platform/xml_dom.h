// XML document seam: the DOM document service that every XML data file of the
// programs goes through.
//
// The interface offers exactly what the programs ask of a DOM document: load,
// save, createElement, appendChild, selectSingleNode (simple name paths),
// getElementsByTagName, the first child / child nodes of the document and of
// elements, the first attribute's text, baseName and text. Every backend shows
// the same behaviour (the contract tests pin it down):
//
//   * Whitespace-only text between elements is dropped at load; an XML
//     declaration, a comment or a processing instruction before the root
//     element is a node of its own (so it can be the document's first child).
//   * Text() of an element is the text of all its descendant text and CDATA
//     nodes, in document order; entities are resolved.
//   * Serialize() writes UTF-8 without a byte order mark, adds no declaration
//     and no indentation, and ends with one line feed. A loaded declaration
//     that names another encoding loses that name at load, so a saved file
//     never claims an encoding its bytes are not in.
//   * Text set through the seam never holds what XML cannot carry (see
//     xml_text.h): every saved document loads again.
//   * Nothing of the library behind a backend shows through.
//
// Handles (XmlNode) are small values that belong to their document: they must
// not be used after the document is gone (destroying them then is fine). A null
// handle answers every question with an empty result and refuses every change,
// so callers can chain calls. Backends never throw and never print.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/error_codes.h"

namespace vorela {

class FileSystem;

// DOM node types, numbered as the DOM numbers them.
enum class XmlNodeType {
  kNone = 0,
  kElement = 1,
  kAttribute = 2,
  kText = 3,
  kCdata = 4,
  kProcessingInstruction = 7,
  kComment = 8,
  kDocument = 9,
  kDocumentType = 10,
  kOther = 99,
};

// What a backend does behind the handles. Only backends implement it.
class XmlNodeBackend {
 public:
  virtual void Retain(void* node) = 0;
  virtual void Release(void* node) = 0;
  virtual XmlNodeType NodeType(void* node) = 0;
  virtual std::string BaseName(void* node) = 0;
  virtual std::string Text(void* node) = 0;
  virtual bool SetText(void* node, std::string_view text) = 0;
  // Each returns a node with one reference held for the caller, or nullptr.
  virtual void* FirstChild(void* node) = 0;
  virtual void* NextSibling(void* node) = 0;
  virtual void* SelectSingleNode(void* node, std::string_view path) = 0;
  virtual void* AppendChild(void* parent, void* child) = 0;
  virtual bool FirstAttributeText(void* node, std::string* text) = 0;

 protected:
  ~XmlNodeBackend() = default;
};

class XmlNode {
 public:
  XmlNode() = default;
  // Takes over one reference to node (as the backend's functions return it).
  XmlNode(XmlNodeBackend* backend, void* node)
      : backend_(node ? backend : nullptr), node_(node) {}
  XmlNode(const XmlNode& other) : backend_(other.backend_), node_(other.node_) {
    if (node_) backend_->Retain(node_);
  }
  XmlNode(XmlNode&& other) noexcept
      : backend_(other.backend_), node_(other.node_) {
    other.backend_ = nullptr;
    other.node_ = nullptr;
  }
  XmlNode& operator=(XmlNode other) noexcept {
    std::swap(backend_, other.backend_);
    std::swap(node_, other.node_);
    return *this;
  }
  ~XmlNode() {
    if (node_) backend_->Release(node_);
  }

  explicit operator bool() const { return node_ != nullptr; }
  // Same node of the same document.
  bool operator==(const XmlNode& other) const { return node_ == other.node_; }

  XmlNodeType Type() const {
    return node_ ? backend_->NodeType(node_) : XmlNodeType::kNone;
  }
  // The name without namespace prefix; "" for text, CDATA, comments, the
  // document.
  std::string BaseName() const {
    return node_ ? backend_->BaseName(node_) : std::string();
  }
  std::string Text() const {
    return node_ ? backend_->Text(node_) : std::string();
  }
  // Replaces the node's content by one text node (no node for empty text).
  // Characters that XML cannot carry are dropped first (see xml_text.h), so
  // whatever a caller sets, the saved document loads again.
  bool SetText(std::string_view text) const;
  XmlNode FirstChild() const {
    return Wrap(node_ ? backend_->FirstChild(node_) : nullptr);
  }
  XmlNode NextSibling() const {
    return Wrap(node_ ? backend_->NextSibling(node_) : nullptr);
  }
  std::vector<XmlNode> ChildNodes() const;
  // The first node that a path of element names separated by "/" selects,
  // relative to this node ("xmlroot", "xmlroot/MENUADD", "DISPNAME"). A path
  // that is not such a path selects nothing.
  XmlNode SelectSingleNode(std::string_view path) const {
    return Wrap(node_ ? backend_->SelectSingleNode(node_, path) : nullptr);
  }
  // Appends child (a node of the same document, typically a new element) as
  // the last child; returns it, or a null handle when the DOM refuses (a second
  // element at the top of a document included).
  XmlNode AppendChild(const XmlNode& child) const;
  // The text of the node's first attribute; false when it has none.
  bool FirstAttributeText(std::string* text) const {
    return node_ && backend_->FirstAttributeText(node_, text);
  }

 private:
  XmlNode Wrap(void* node) const { return XmlNode(backend_, node); }

  XmlNodeBackend* backend_ = nullptr;
  void* node_ = nullptr;
};

enum class XmlLoadResult {
  kLoaded,
  kUnreadable,  // the file could not be read (missing, locked, ...)
  kMalformed,   // the bytes are not a well-formed document
};

class XmlDocument {
 public:
  virtual ~XmlDocument() = default;

  // Parses a whole document (encoding detected as the DOM does). On failure
  // the document is left empty, as a failed DOM load leaves it.
  virtual bool LoadBytes(std::string_view bytes) = 0;
  // The bytes a save of the document writes.
  virtual bool Serialize(std::string* bytes) = 0;
  // The document node itself.
  virtual XmlNode Root() = 0;
  // A new element, not yet in the tree; null for a name the DOM refuses.
  virtual XmlNode CreateElement(std::string_view name) = 0;
  // Every element of that (qualified) name, all depths, document order.
  virtual std::vector<XmlNode> GetElementsByTagName(std::string_view name) = 0;

  // The search of the menu files, in one pass: the first element of
  // GetElementsByTagName(tag) that has a child node whose BaseName() is
  // child_name and whose Text() equals text exactly; null when none has.
  // Backends may do it faster than the generic walk; the result is the same.
  virtual XmlNode FindElementByChildText(std::string_view tag,
                                         std::string_view child_name,
                                         std::string_view text);

  // Load by path: reads the file through the file seam and parses it.
  XmlLoadResult Load(FileSystem& files, std::string_view path);
  // Save to a path: replaces the file atomically through the file seam, so a
  // failed save leaves the previous file as it was.
  Win32Error Save(FileSystem& files, std::string_view path);

  XmlNode FirstChild() { return Root().FirstChild(); }
  std::vector<XmlNode> ChildNodes() { return Root().ChildNodes(); }
  XmlNode SelectSingleNode(std::string_view path) {
    return Root().SelectSingleNode(path);
  }
  XmlNode AppendChild(const XmlNode& child) {
    return Root().AppendChild(child);
  }
};

// The document service: makes new, empty documents.
class XmlDom {
 public:
  virtual ~XmlDom() = default;
  // A new empty document; nullptr when the service is unavailable.
  virtual std::unique_ptr<XmlDocument> CreateDocument() = 0;
};

// The service of this build (MSXML on Windows, pugixml elsewhere).
XmlDom& SystemXmlDom();

// True when path is a simple selection path: XML names separated by "/".
bool IsSimpleXmlPath(std::string_view path);

// True when name is one XML name (no "/"), as element and attribute names must be.
bool IsXmlName(std::string_view name);

// Saves write UTF-8 whatever encoding a loaded file was in, so its
// declaration must not keep naming that encoding. Given the data of an XML
// declaration ('version="1.0" encoding="Shift_JIS"'), sets *data to the same
// declaration without its encoding and returns true; false when the
// declaration names no encoding or UTF-8 (then it can stay as it is).
bool DropForeignEncoding(std::string_view declaration, std::string* data);

}  // namespace vorela

// XML document seam over the platform's DOM document (MSXML 6 through COM).
//
// Node handles carry IXMLDOMNode pointers with one COM reference each. All
// BSTR and VARIANT handling stays in this file.
#include "platform/win32/windows_lean.h"
// The COM headers come after the one header that includes <windows.h>.
#include <msxml2.h>
#include <objbase.h>
#include <oleauto.h>
#include <shlwapi.h>

#include <utility>

#include "platform/win32/com_apartment.h"
#include "platform/win32/com_ptr.h"
#include "platform/xml_dom.h"

namespace vorela {
namespace {

// {88d96a05-f192-11d4-a65f-0040963251e5}
const GUID kClsidDomDocument60 = {
    0x88d96a05,
    0xf192,
    0x11d4,
    {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}};
// {2933bf95-7b36-11d2-b20e-00c04f983e60}
const GUID kIidXmlDomDocument2 = {
    0x2933bf95,
    0x7b36,
    0x11d2,
    {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::string_view utf8) {
    std::wstring wide = win32::Widen(utf8);
    value_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  }
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return value_; }
  BSTR* out() {
    SysFreeString(value_);
    value_ = nullptr;
    return &value_;
  }
  std::string Utf8() const {
    return value_
               ? win32::Narrow(std::wstring_view(value_, SysStringLen(value_)))
               : std::string();
  }

 private:
  BSTR value_ = nullptr;
};

IXMLDOMNode* AsNode(void* node) { return static_cast<IXMLDOMNode*>(node); }

// A memory stream, as the document loads from and saves to.
win32::ComPtr<IStream> NewStream(std::string_view bytes) {
  return win32::ComPtr<IStream>::Attach(SHCreateMemStream(
      reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
}

win32::ComPtr<IXMLDOMDocument2> NewDocument() {
  win32::ComPtr<IXMLDOMDocument2> doc;
  if (FAILED(CoCreateInstance(kClsidDomDocument60, nullptr, CLSCTX_INPROC_SERVER,
                              kIidXmlDomDocument2, doc.put_void()))) {
    return nullptr;
  }
  if (doc) doc->put_async(VARIANT_FALSE);
  return doc;
}

// The node operations work on the nodes' own COM references and need no state:
// one object serves every document, and a handle may outlive its document.
class MsxmlNodes final : public XmlNodeBackend {
 public:
  void Retain(void* node) override { AsNode(node)->AddRef(); }
  void Release(void* node) override { AsNode(node)->Release(); }

  XmlNodeType NodeType(void* node) override {
    DOMNodeType type = NODE_INVALID;
    if (FAILED(AsNode(node)->get_nodeType(&type))) return XmlNodeType::kNone;
    switch (type) {
      case NODE_ELEMENT:
        return XmlNodeType::kElement;
      case NODE_ATTRIBUTE:
        return XmlNodeType::kAttribute;
      case NODE_TEXT:
        return XmlNodeType::kText;
      case NODE_CDATA_SECTION:
        return XmlNodeType::kCdata;
      case NODE_PROCESSING_INSTRUCTION:
        return XmlNodeType::kProcessingInstruction;
      case NODE_COMMENT:
        return XmlNodeType::kComment;
      case NODE_DOCUMENT:
        return XmlNodeType::kDocument;
      case NODE_DOCUMENT_TYPE:
        return XmlNodeType::kDocumentType;
      default:
        return XmlNodeType::kOther;
    }
  }

  std::string BaseName(void* node) override {
    Bstr name;
    if (AsNode(node)->get_baseName(name.out()) != S_OK) return std::string();
    return name.Utf8();
  }

  std::string Text(void* node) override {
    Bstr text;
    if (FAILED(AsNode(node)->get_text(text.out()))) return std::string();
    return text.Utf8();
  }

  bool SetText(void* node, std::string_view text) override {
    Bstr value(text);
    return SUCCEEDED(AsNode(node)->put_text(value.get()));
  }

  void* FirstChild(void* node) override {
    IXMLDOMNode* child = nullptr;
    return AsNode(node)->get_firstChild(&child) == S_OK ? child : nullptr;
  }

  void* NextSibling(void* node) override {
    IXMLDOMNode* next = nullptr;
    return AsNode(node)->get_nextSibling(&next) == S_OK ? next : nullptr;
  }

  void* SelectSingleNode(void* node, std::string_view path) override {
    // Only plain name paths: anything else would be an XPath expression with
    // behaviour of its own that no caller asks for.
    if (!IsSimpleXmlPath(path)) return nullptr;
    IXMLDOMNode* found = nullptr;
    Bstr query(path);
    return AsNode(node)->selectSingleNode(query.get(), &found) == S_OK
               ? found
               : nullptr;
  }

  void* AppendChild(void* parent, void* child) override {
    IXMLDOMNode* added = nullptr;
    return AsNode(parent)->appendChild(AsNode(child), &added) == S_OK ? added
                                                                      : nullptr;
  }

  bool FirstAttributeText(void* node, std::string* text) override {
    win32::ComPtr<IXMLDOMNamedNodeMap> attributes;
    if (AsNode(node)->get_attributes(attributes.put()) != S_OK || !attributes)
      return false;
    win32::ComPtr<IXMLDOMNode> first;
    if (attributes->get_item(0, first.put()) != S_OK || !first) return false;
    Bstr value;
    const bool ok = SUCCEEDED(first->get_text(value.out()));
    if (ok) *text = value.Utf8();
    return ok;
  }
};

XmlNodeBackend* Nodes() {
  static MsxmlNodes nodes;
  return &nodes;
}

class MsxmlDocument final : public XmlDocument {
 public:
  explicit MsxmlDocument(win32::ComPtr<IXMLDOMDocument2> doc) : doc_(std::move(doc)) {}

  bool LoadBytes(std::string_view bytes) override {
    HRESULT hr;
    VARIANT_BOOL ok = VARIANT_FALSE;
    {
      win32::ComPtr<IStream> stream = NewStream(bytes);
      if (!stream) return false;
      // The variant borrows the stream's reference and is not cleared.
      VARIANT source;
      VariantInit(&source);
      V_VT(&source) = VT_UNKNOWN;
      V_UNKNOWN(&source) = stream.get();
      hr = doc_->load(source, &ok);
    }
    bool loaded = hr == S_OK && ok == VARIANT_TRUE && !HasDoctype();
    if (!loaded) {
      Reset();
      return false;
    }
    DropDeclaredEncoding();
    return true;
  }

  bool Serialize(std::string* bytes) override {
    win32::ComPtr<IStream> stream = NewStream("");
    if (!stream) return false;
    VARIANT target;
    VariantInit(&target);
    V_VT(&target) = VT_UNKNOWN;
    V_UNKNOWN(&target) = stream.get();
    HRESULT hr = doc_->save(target);
    return SUCCEEDED(hr) && ReadStream(stream.get(), bytes);
  }

  XmlNode Root() override {
    // The node handle owns a reference of its own.
    win32::ComPtr<IXMLDOMDocument2> root = doc_;
    return XmlNode(Nodes(), static_cast<IXMLDOMNode*>(root.Detach()));
  }

  XmlNode CreateElement(std::string_view name) override {
    // The DOM here accepts names that are not XML names; they would make the
    // saved file unreadable, so they are refused as on every other backend.
    if (!IsXmlName(name)) return XmlNode();
    IXMLDOMElement* element = nullptr;
    Bstr tag(name);
    if (doc_->createElement(tag.get(), &element) != S_OK) return XmlNode();
    return XmlNode(Nodes(), static_cast<IXMLDOMNode*>(element));
  }

  std::vector<XmlNode> GetElementsByTagName(std::string_view name) override {
    std::vector<XmlNode> found;
    if (!IsXmlName(name) || name.find(':') != std::string_view::npos)
      return found;
    win32::ComPtr<IXMLDOMNodeList> list;
    Bstr tag(name);
    if (doc_->getElementsByTagName(tag.get(), list.put()) != S_OK || !list)
      return found;
    long length = 0;
    if (SUCCEEDED(list->get_length(&length)) && length > 0)
      found.reserve(length);
    IXMLDOMNode* node = nullptr;
    while (list->nextNode(&node) == S_OK && node) {
      found.emplace_back(Nodes(), node);
      node = nullptr;
    }
    return found;
  }

 private:
  // Documents with a DTD are refused: nothing the programs read has one, and
  // entity declarations are a way to make a small file expand without bound.
  bool HasDoctype() {
    win32::ComPtr<IXMLDOMDocumentType> doctype;
    return doc_->get_doctype(doctype.put()) == S_OK && doctype;
  }

  // Saves write UTF-8 (the DOM would otherwise write the declared encoding,
  // or, under Wine, UTF-8 under the old name): a declaration naming another
  // encoding is replaced by one without it.
  void DropDeclaredEncoding() {
    win32::ComPtr<IXMLDOMNode> first;
    if (doc_->get_firstChild(first.put()) != S_OK || !first) return;
    DOMNodeType type = NODE_INVALID;
    Bstr name, text;
    std::string data;
    if (SUCCEEDED(first->get_nodeType(&type)) &&
        type == NODE_PROCESSING_INSTRUCTION &&
        first->get_nodeName(name.out()) == S_OK && name.Utf8() == "xml" &&
        SUCCEEDED(first->get_text(text.out())) &&
        DropForeignEncoding(text.Utf8(), &data)) {
      win32::ComPtr<IXMLDOMProcessingInstruction> declaration;
      Bstr target("xml"), value(data);
      if (doc_->createProcessingInstruction(target.get(), value.get(), declaration.put()) ==
          S_OK) {
        win32::ComPtr<IXMLDOMNode> old;
        doc_->replaceChild(declaration.get(), first.get(), old.put());
      }
    }
  }

  // A failed load leaves an empty document, whatever was loaded before.
  void Reset() {
    if (win32::ComPtr<IXMLDOMDocument2> fresh = NewDocument()) doc_ = std::move(fresh);
  }

  static bool ReadStream(IStream* stream, std::string* bytes) {
    STATSTG stat = {};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return false;
    LARGE_INTEGER zero = {};
    if (FAILED(stream->Seek(zero, STREAM_SEEK_SET, nullptr))) return false;
    bytes->assign(static_cast<std::size_t>(stat.cbSize.QuadPart), '\0');
    ULONG read = 0;
    if (!bytes->empty() &&
        FAILED(stream->Read(bytes->data(), static_cast<ULONG>(bytes->size()),
                            &read))) {
      return false;
    }
    bytes->resize(read);
    return true;
  }

  win32::ComPtr<IXMLDOMDocument2> doc_;
};

class MsxmlDom final : public XmlDom {
 public:
  std::unique_ptr<XmlDocument> CreateDocument() override {
    if (FAILED(win32::EnsureCom())) return nullptr;
    win32::ComPtr<IXMLDOMDocument2> doc = NewDocument();
    if (!doc) return nullptr;
    return std::make_unique<MsxmlDocument>(std::move(doc));
  }
};

}  // namespace

XmlDom& SystemXmlDom() {
  static MsxmlDom dom;
  return dom;
}

}  // namespace vorela

// Backend-independent parts of the XML document seam.
#include "platform/xml_dom.h"

#include "platform/files.h"
#include "platform/xml_text.h"

namespace vorela {

std::vector<XmlNode> XmlNode::ChildNodes() const {
  std::vector<XmlNode> children;
  for (XmlNode child = FirstChild(); child; child = child.NextSibling()) {
    children.push_back(child);
  }
  return children;
}

bool XmlNode::SetText(std::string_view text) const {
  if (!node_) return false;
  if (IsCarriableXmlText(text)) return backend_->SetText(node_, text);
  return backend_->SetText(node_, CarriableXmlText(text));
}

XmlNode XmlNode::AppendChild(const XmlNode& child) const {
  if (!node_ || !child.node_) return XmlNode();
  // Only elements and the document hold children (some DOMs let text nodes
  // take children too, which no file can represent), and a document holds
  // one element.
  XmlNodeType type = Type();
  if (type != XmlNodeType::kElement && type != XmlNodeType::kDocument)
    return XmlNode();
  if (type == XmlNodeType::kDocument && child.Type() == XmlNodeType::kElement) {
    for (XmlNode c = FirstChild(); c; c = c.NextSibling()) {
      if (c.Type() == XmlNodeType::kElement) return XmlNode();
    }
  }
  return Wrap(backend_->AppendChild(node_, child.node_));
}

XmlNode XmlDocument::FindElementByChildText(std::string_view tag,
                                            std::string_view child_name,
                                            std::string_view text) {
  for (const XmlNode& element : GetElementsByTagName(tag)) {
    for (XmlNode child = element.FirstChild(); child;
         child = child.NextSibling()) {
      if (child.BaseName() == child_name && child.Text() == text)
        return element;
    }
  }
  return XmlNode();
}

XmlLoadResult XmlDocument::Load(FileSystem& files, std::string_view path) {
  std::string bytes;
  if (files.ReadAll(path, &bytes) != kErrorSuccess) {
    LoadBytes("");  // a failed load leaves an empty document behind
    return XmlLoadResult::kUnreadable;
  }
  return LoadBytes(bytes) ? XmlLoadResult::kLoaded : XmlLoadResult::kMalformed;
}

Win32Error XmlDocument::Save(FileSystem& files, std::string_view path) {
  std::string bytes;
  if (!Serialize(&bytes)) return kErrorInvalidData;
  return files.WriteAtomic(path, bytes);
}

namespace {

// ASCII name characters plus every non-ASCII byte (names may be Japanese).
bool IsNameStart(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         c >= 0x80;
}
bool IsNameChar(unsigned char c) {
  return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// A QName: NCName or prefix:NCName.
bool IsQName(std::string_view step) {
  std::size_t colon = step.find(':');
  if (colon != std::string_view::npos) {
    return IsQName(step.substr(0, colon)) &&
           step.substr(0, colon).find(':') == std::string_view::npos &&
           IsQName(step.substr(colon + 1)) &&
           step.substr(colon + 1).find(':') == std::string_view::npos;
  }
  if (step.empty() || !IsNameStart(static_cast<unsigned char>(step[0])))
    return false;
  for (char c : step) {
    if (!IsNameChar(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

}  // namespace

bool IsSimpleXmlPath(std::string_view path) {
  if (path.empty()) return false;
  std::size_t start = 0;
  while (true) {
    std::size_t slash = path.find('/', start);
    std::string_view step = path.substr(start, slash == std::string_view::npos
                                                   ? std::string_view::npos
                                                   : slash - start);
    if (!IsQName(step)) return false;
    if (slash == std::string_view::npos) return true;
    start = slash + 1;
  }
}

bool IsXmlName(std::string_view name) {
  return IsSimpleXmlPath(name) && name.find('/') == std::string_view::npos;
}

bool DropForeignEncoding(std::string_view declaration, std::string* data) {
  std::string kept;
  bool foreign = false;
  std::size_t i = 0;
  auto blank = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
  };
  while (i < declaration.size()) {
    while (i < declaration.size() && blank(declaration[i])) ++i;
    const std::size_t name_start = i;
    while (i < declaration.size() && declaration[i] != '=' &&
           !blank(declaration[i]))
      ++i;
    const std::string_view name =
        declaration.substr(name_start, i - name_start);
    while (i < declaration.size() && (blank(declaration[i]) ||
                                      declaration[i] == '='))
      ++i;
    if (name.empty() || i >= declaration.size()) break;
    const char quote = declaration[i];
    if (quote != '"' && quote != '\'') return false;  // not a declaration
    const std::size_t end = declaration.find(quote, i + 1);
    if (end == std::string_view::npos) return false;
    const std::string_view value = declaration.substr(i + 1, end - i - 1);
    i = end + 1;
    if (name == "encoding") {
      std::string lower(value);
      for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      }
      if (lower == "utf-8" || lower == "utf8") return false;
      foreign = true;
      continue;
    }
    if (!kept.empty()) kept.push_back(' ');
    kept.append(name).append("=\"").append(value).push_back('"');
  }
  if (!foreign) return false;
  *data = kept;
  return true;
}

}  // namespace vorela

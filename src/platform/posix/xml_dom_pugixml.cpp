// XML document seam over pugixml, shaped to behave as the platform DOM does in
// the Windows build (see the contract tests).
//
// Whitespace-only text is kept in the tree after parsing but is invisible: the
// platform DOM drops it at load and only remembers that it was there, which its
// text property turns into a single separating blank. Whitespace-only text that
// a caller sets is a real text node; it is stored as a node of the DTD type,
// as a processing instruction without a target, which no parse produces.
#include <cstring>
#include <pugixml.hpp>

#include "platform/posix/xml_check.h"
#include "platform/posix/xml_encoding.h"
#include "platform/xml_dom.h"

namespace vorela {
namespace {

using pugi::xml_node;
using pugi::xml_node_struct;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsSpace(char c) { return IsBlank(c) || c == '\v' || c == '\f'; }

bool AllBlank(const char* s) {
  for (; *s; ++s) {
    if (!IsBlank(*s)) return false;
  }
  return true;
}

// Loaded whitespace-only text, and the holding place of new elements that are
// not yet appended (an element without a name, which no parse produces): not
// nodes as far as callers can see.
bool IsHolding(const xml_node& n) {
  return n.type() == pugi::node_element && n.name()[0] == '\0';
}
bool IsIgnorable(const xml_node& n) {
  return (n.type() == pugi::node_pcdata && AllBlank(n.value())) || IsHolding(n);
}
// Whitespace-only text set by a caller: a processing instruction without a
// target, which no parse produces.
bool IsSetBlankText(const xml_node& n) {
  return n.type() == pugi::node_pi && n.name()[0] == '\0';
}

xml_node Node(void* p) { return xml_node(static_cast<xml_node_struct*>(p)); }
void* Id(const xml_node& n) { return n ? n.internal_object() : nullptr; }

xml_node FirstVisible(xml_node n) {
  while (n && IsIgnorable(n)) n = n.next_sibling();
  return n;
}

std::string_view LocalName(std::string_view name) {
  std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// True when the element (or an ancestor) puts its children in a default
// namespace.
bool InDefaultNamespace(xml_node n, bool inherited) {
  if (pugi::xml_attribute a = n.attribute("xmlns")) return a.value()[0] != '\0';
  return inherited;
}
bool InDefaultNamespace(xml_node n) {
  for (xml_node up = n; up && up.type() == pugi::node_element;
       up = up.parent()) {
    if (pugi::xml_attribute a = up.attribute("xmlns"))
      return a.value()[0] != '\0';
  }
  return false;
}

// The pieces of an element's text, as the platform DOM puts them together:
// descendant text and CDATA in order, one blank where whitespace was dropped
// between two pieces, CDATA positions remembered so that trimming stops there.
struct TextPieces {
  std::string text;
  std::size_t first_cdata = std::string::npos;
  std::size_t last_cdata_end = 0;
};

// Returns whether dropped whitespace trails the element's content.
bool CollectText(xml_node element, TextPieces* out, bool document) {
  TextPieces& p = *out;
  std::size_t start = p.text.size();
  bool pending_blank = false;
  for (xml_node c = element.first_child(); c; c = c.next_sibling()) {
    pugi::xml_node_type type = c.type();
    if (IsHolding(c)) continue;
    if (type == pugi::node_pcdata && AllBlank(c.value())) {
      if (!document) pending_blank = true;
      continue;
    }
    bool child_trailing = false;
    bool is_cdata = type == pugi::node_cdata;
    TextPieces nested;
    std::string_view piece;
    if (type == pugi::node_element) {
      child_trailing = CollectText(c, &nested, false);
      piece = nested.text;
    } else if (type == pugi::node_pcdata || is_cdata || IsSetBlankText(c)) {
      piece = c.value();
    } else {
      continue;
    }
    if (!piece.empty() || is_cdata) {
      if (pending_blank && p.text.size() > start) p.text.push_back(' ');
      std::size_t at = p.text.size();
      if (is_cdata && at < p.first_cdata) p.first_cdata = at;
      if (type == pugi::node_element) {
        if (nested.first_cdata != std::string::npos &&
            at + nested.first_cdata < p.first_cdata) {
          p.first_cdata = at + nested.first_cdata;
        }
        if (nested.last_cdata_end &&
            at + nested.last_cdata_end > p.last_cdata_end) {
          p.last_cdata_end = at + nested.last_cdata_end;
        }
      }
      p.text.append(piece);
      if (is_cdata && p.text.size() > p.last_cdata_end)
        p.last_cdata_end = p.text.size();
      pending_blank = false;
    }
    if (child_trailing) pending_blank = true;
  }
  return pending_blank;
}

std::string TrimmedText(TextPieces pieces) {
  std::string& s = pieces.text;
  std::size_t begin = 0;
  std::size_t stop_begin =
      pieces.first_cdata == std::string::npos ? s.size() : pieces.first_cdata;
  while (begin < stop_begin && IsSpace(s[begin])) ++begin;
  std::size_t end = s.size();
  std::size_t stop_end =
      pieces.first_cdata == std::string::npos ? begin : pieces.last_cdata_end;
  while (end > stop_end && end > begin && IsSpace(s[end - 1])) --end;
  return s.substr(begin, end - begin);
}

std::string DeclarationText(const xml_node& n) {
  std::string text;
  for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
    if (!text.empty()) text.push_back(' ');
    text.append(a.name()).append("=\"").append(a.value()).append("\"");
  }
  return text;
}

// Serialisation, byte for byte as the platform DOM saves.
void AppendEscaped(std::string* out, const char* s, bool attribute) {
  for (; *s; ++s) {
    switch (*s) {
      case '&':
        out->append("&amp;");
        break;
      case '<':
        out->append("&lt;");
        break;
      case '>':
        out->append("&gt;");
        break;
      case '\r':
        out->append("&#13;");
        break;
      case '"':
        if (attribute) {
          out->append("&quot;");
        } else {
          out->push_back('"');
        }
        break;
      case '\t':
        if (attribute) {
          out->append("&#9;");
        } else {
          out->push_back('\t');
        }
        break;
      case '\n':
        if (attribute) {
          out->append("&#10;");
        } else {
          out->push_back('\n');
        }
        break;
      default:
        out->push_back(*s);
    }
  }
}

void Write(std::string* out, const xml_node& n) {
  switch (n.type()) {
    case pugi::node_element: {
      out->push_back('<');
      out->append(n.name());
      for (pugi::xml_attribute a = n.first_attribute(); a;
           a = a.next_attribute()) {
        out->push_back(' ');
        out->append(a.name()).append("=\"");
        AppendEscaped(out, a.value(), true);
        out->push_back('"');
      }
      xml_node child = FirstVisible(n.first_child());
      if (!child) {
        out->append("/>");
        break;
      }
      out->push_back('>');
      for (; child; child = FirstVisible(child.next_sibling()))
        Write(out, child);
      out->append("</").append(n.name()).push_back('>');
      break;
    }
    case pugi::node_pcdata:
      AppendEscaped(out, n.value(), false);
      break;
    case pugi::node_cdata:
      out->append("<![CDATA[").append(n.value()).append("]]>");
      break;
    case pugi::node_comment:
      out->append("<!--").append(n.value()).append("-->");
      break;
    case pugi::node_pi:
      if (IsSetBlankText(n)) {
        AppendEscaped(out, n.value(), false);
        break;
      }
      out->append("<?").append(n.name());
      if (n.value()[0]) out->append(" ").append(n.value());
      out->append("?>");
      break;
    case pugi::node_declaration: {
      out->append("<?xml");
      for (pugi::xml_attribute a = n.first_attribute(); a;
           a = a.next_attribute()) {
        out->push_back(' ');
        out->append(a.name()).append("=\"").append(a.value()).push_back('"');
      }
      out->append("?>");
      break;
    }
    default:
      break;
  }
}

bool PrefixDeclared(xml_node n, std::string_view name) {
  std::size_t colon = name.find(':');
  if (colon == std::string_view::npos) return true;
  std::string prefix(name.substr(0, colon));
  if (prefix == "xml" || prefix == "xmlns") return true;
  std::string attribute = "xmlns:" + prefix;
  for (xml_node up = n; up && up.type() == pugi::node_element;
       up = up.parent()) {
    if (up.attribute(attribute.c_str())) return true;
  }
  return false;
}

// The structural rules pugixml does not enforce.
bool WellFormedTree(const pugi::xml_document& doc) {
  int elements = 0;
  for (xml_node c = doc.first_child(); c; c = c.next_sibling()) {
    switch (c.type()) {
      case pugi::node_element:
        ++elements;
        break;
      case pugi::node_pcdata:
        if (!AllBlank(c.value())) return false;
        break;
      case pugi::node_cdata:
      case pugi::node_doctype:
        return false;
      default:
        break;
    }
  }
  if (elements != 1) return false;
  // Duplicate attributes and undeclared prefixes, element by element.
  xml_node n = doc.document_element();
  xml_node stop = n;
  while (n) {
    if (n.type() == pugi::node_element) {
      if (!PrefixDeclared(n, n.name())) return false;
      for (pugi::xml_attribute a = n.first_attribute(); a;
           a = a.next_attribute()) {
        if (!PrefixDeclared(n, a.name())) return false;
        for (pugi::xml_attribute b = a.next_attribute(); b;
             b = b.next_attribute()) {
          if (std::strcmp(a.name(), b.name()) == 0) return false;
        }
      }
    }
    if (n.first_child()) {
      n = n.first_child();
      continue;
    }
    while (n && n != stop && !n.next_sibling()) n = n.parent();
    if (!n || n == stop) break;
    n = n.next_sibling();
  }
  return true;
}

// The node operations need no state of their own: one object serves every
// document, so a handle that outlives its document can still be destroyed.
class PugiNodes final : public XmlNodeBackend {
 public:
  void Retain(void*) override {}
  void Release(void*) override {}

  XmlNodeType NodeType(void* p) override {
    xml_node n = Node(p);
    switch (n.type()) {
      case pugi::node_document:
        return XmlNodeType::kDocument;
      case pugi::node_element:
        return XmlNodeType::kElement;
      case pugi::node_pcdata:
        return XmlNodeType::kText;
      case pugi::node_cdata:
        return XmlNodeType::kCdata;
      case pugi::node_comment:
        return XmlNodeType::kComment;
      case pugi::node_pi:
        return IsSetBlankText(n) ? XmlNodeType::kText
                                 : XmlNodeType::kProcessingInstruction;
      case pugi::node_declaration:
        return XmlNodeType::kProcessingInstruction;
      default:
        return XmlNodeType::kOther;
    }
  }

  std::string BaseName(void* p) override {
    xml_node n = Node(p);
    switch (n.type()) {
      case pugi::node_element:
      case pugi::node_pi:
        return std::string(LocalName(n.name()));  // "" for set blank text
      case pugi::node_declaration:
        return "xml";
      default:
        return std::string();
    }
  }

  std::string Text(void* p) override {
    xml_node n = Node(p);
    switch (n.type()) {
      case pugi::node_element:
      case pugi::node_document: {
        // The common case, an element holding one piece of text, directly.
        xml_node only = n.first_child();
        if (n.type() == pugi::node_element && only && !only.next_sibling() &&
            only.type() == pugi::node_pcdata) {
          TextPieces pieces;
          pieces.text = only.value();
          return TrimmedText(std::move(pieces));
        }
        TextPieces pieces;
        CollectText(n, &pieces, n.type() == pugi::node_document);
        return TrimmedText(std::move(pieces));
      }
      case pugi::node_pcdata: {
        TextPieces pieces;
        pieces.text = n.value();
        return TrimmedText(std::move(pieces));
      }
      case pugi::node_declaration:
        return DeclarationText(n);
      case pugi::node_pi:
        if (IsSetBlankText(n)) return std::string();
        return n.value();
      default:
        return n.value();
    }
  }

  bool SetText(void* p, std::string_view text) override {
    xml_node n = Node(p);
    std::string value(text);
    switch (n.type()) {
      case pugi::node_element: {
        while (xml_node c = n.first_child()) n.remove_child(c);
        if (value.empty()) return true;
        xml_node t = n.append_child(
            AllBlank(value.c_str()) ? pugi::node_pi : pugi::node_pcdata);
        return t && t.set_value(value.c_str());
      }
      case pugi::node_pcdata:
      case pugi::node_cdata:
      case pugi::node_comment:
      case pugi::node_pi:
        return n.set_value(value.c_str());
      default:
        return false;
    }
  }

  void* FirstChild(void* p) override {
    return Id(FirstVisible(Node(p).first_child()));
  }
  void* NextSibling(void* p) override {
    return Id(FirstVisible(Node(p).next_sibling()));
  }

  void* SelectSingleNode(void* p, std::string_view path) override {
    if (!IsSimpleXmlPath(path)) return nullptr;
    xml_node n = Node(p);
    bool in_namespace = n.type() == pugi::node_element && InDefaultNamespace(n);
    std::size_t start = 0;
    while (true) {
      std::size_t slash = path.find('/', start);
      std::string_view step = path.substr(start, slash == std::string_view::npos
                                                     ? std::string_view::npos
                                                     : slash - start);
      // Prefixed names would need a namespace mapping; none is ever set.
      if (step.find(':') != std::string_view::npos) return nullptr;
      xml_node match;
      for (xml_node c = n.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && step == c.name() &&
            !InDefaultNamespace(c, in_namespace)) {
          match = c;
          break;
        }
      }
      if (!match) return nullptr;
      n = match;
      if (slash == std::string_view::npos) return Id(n);
      start = slash + 1;
    }
  }

  void* AppendChild(void* parent, void* child) override {
    xml_node to = Node(parent);
    xml_node node = Node(child);
    if (to.type() != pugi::node_element && to.type() != pugi::node_document)
      return nullptr;
    // A node of this document (or one made by it) only.
    if (node.root() != to.root() || IsHolding(node)) return nullptr;
    xml_node moved = to.append_move(node);
    return Id(moved);
  }

  bool FirstAttributeText(void* p, std::string* text) override {
    xml_node n = Node(p);
    if (n.type() != pugi::node_element) return false;
    pugi::xml_attribute a = n.first_attribute();
    // The platform DOM does not list a default namespace declaration among
    // the attributes (prefixed declarations it does).
    while (a && std::strcmp(a.name(), "xmlns") == 0) a = a.next_attribute();
    if (!a) return false;
    *text = a.value();
    return true;
  }
};

XmlNodeBackend* Nodes() {
  static PugiNodes nodes;
  return &nodes;
}

class PugiDocument final : public XmlDocument {
 public:
  bool LoadBytes(std::string_view bytes) override {
    doc_.reset();
    holding_ = xml_node();
    std::string utf8;
    if (!posix::NormalizeXmlEncoding(bytes, &utf8) ||
        !posix::PassesXmlLexicalChecks(utf8)) {
      return false;
    }
    unsigned options = pugi::parse_cdata | pugi::parse_escapes |
                       pugi::parse_wconv_attribute | pugi::parse_eol |
                       pugi::parse_ws_pcdata | pugi::parse_comments |
                       pugi::parse_pi | pugi::parse_declaration;
    pugi::xml_parse_result result = doc_.load_buffer(
        utf8.data(), utf8.size(), options, pugi::encoding_utf8);
    if (!result || !WellFormedTree(doc_)) {
      doc_.reset();
      return false;
    }
    // Saves write UTF-8: a declaration that names another encoding would make
    // the saved file lie about its bytes.
    xml_node first = doc_.first_child();
    if (first.type() == pugi::node_declaration &&
        !posix::IsUtf8EncodingName(first.attribute("encoding").value())) {
      first.remove_attribute("encoding");
    }
    return true;
  }

  bool Serialize(std::string* bytes) override {
    bytes->clear();
    for (xml_node c = FirstVisible(doc_.first_child()); c;
         c = FirstVisible(c.next_sibling())) {
      Write(bytes, c);
      bytes->push_back('\n');
    }
    return true;
  }

  XmlNode Root() override { return XmlNode(Nodes(), Id(doc_)); }

  XmlNode CreateElement(std::string_view name) override {
    if (!IsXmlName(name)) return XmlNode();
    // New elements wait in a holding area outside the document until appended.
    if (!holding_ || holding_.parent() != doc_)
      holding_ = doc_.append_child(pugi::node_element);
    xml_node element = holding_.append_child(pugi::node_element);
    element.set_name(std::string(name).c_str());
    return XmlNode(Nodes(), Id(element));
  }

  std::vector<XmlNode> GetElementsByTagName(std::string_view name) override {
    std::vector<XmlNode> found;
    if (name.find(':') != std::string_view::npos || !IsXmlName(name)) {
      return found;
    }
    // The library's own walk costs one call per node instead of several.
    struct Walker : pugi::xml_tree_walker {
      std::string_view name;
      std::vector<XmlNode>* found;
      bool in_holding = false;
      bool for_each(xml_node& n) override {
        if (depth() == 0) in_holding = IsHolding(n);
        if (!in_holding && n.type() == pugi::node_element &&
            LocalName(n.name()) == name) {
          found->emplace_back(Nodes(), Id(n));
        }
        return true;
      }
    } walker;
    walker.name = name;
    walker.found = &found;
    doc_.traverse(walker);
    return found;
  }

  XmlNode FindElementByChildText(std::string_view tag,
                                 std::string_view child_name,
                                 std::string_view text) override {
    if (tag.find(':') != std::string_view::npos || !IsXmlName(tag))
      return XmlNode();
    struct Walker : pugi::xml_tree_walker {
      std::string_view tag, child_name, text;
      xml_node match;
      bool in_holding = false;
      bool for_each(xml_node& n) override {
        if (depth() == 0) in_holding = IsHolding(n);
        if (in_holding || n.type() != pugi::node_element ||
            LocalName(n.name()) != tag) {
          return true;
        }
        for (xml_node c = n.first_child(); c; c = c.next_sibling()) {
          pugi::xml_node_type type = c.type();
          // Base names: elements and instructions have one, other nodes "".
          bool named = type == pugi::node_element ||
                       (type == pugi::node_pi && !IsSetBlankText(c));
          std::string_view base =
              named ? LocalName(c.name()) : std::string_view();
          if (base != child_name || IsIgnorable(c)) continue;
          if (Nodes()->Text(Id(c)) == text) {
            match = n;
            return false;  // the first match ends the search
          }
        }
        return true;
      }
    } walker;
    walker.tag = tag;
    walker.child_name = child_name;
    walker.text = text;
    doc_.traverse(walker);
    return XmlNode(Nodes(), Id(walker.match));
  }

 private:
  pugi::xml_document doc_;
  xml_node holding_;
};

class PugiDom final : public XmlDom {
 public:
  std::unique_ptr<XmlDocument> CreateDocument() override {
    return std::make_unique<PugiDocument>();
  }
};

}  // namespace

XmlDom& SystemXmlDom() {
  static PugiDom dom;
  return dom;
}

}  // namespace vorela

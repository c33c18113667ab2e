#include "cabinet/pack_manifest.h"

#include <cstdint>
#include <vector>

namespace vorela {
namespace {

// A small, strict reader of elements, text, comments, CDATA and processing
// instructions; enough to see the document the way a DOM loader sees it.
struct Node {
  enum Kind { kElement, kText, kOther } kind = kOther;
  std::string name;
  std::string text;
  std::vector<Node> children;
};

class Reader {
 public:
  explicit Reader(std::string_view s) : s_(s) {}

  bool Document(std::vector<Node>* top, std::string* problem) {
    if (s_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
    bool seen_root = false;
    while (true) {
      SkipSpace();
      if (pos_ >= s_.size()) break;
      Node node;
      if (!Markup(&node, 0)) return Fail(problem);
      if (node.kind == Node::kElement) {
        if (seen_root) return Fail(problem, "more than one root element");
        seen_root = true;
      }
      top->push_back(std::move(node));
    }
    if (!seen_root) return Fail(problem, "no root element");
    return true;
  }

 private:
  bool Fail(std::string* problem, const char* why = nullptr) {
    *problem = std::string(why              ? why
                           : error_.empty() ? "malformed XML"
                                            : error_.c_str()) +
               " at byte " + std::to_string(pos_);
    return false;
  }
  bool Error(const char* why) {
    if (error_.empty()) error_ = why;
    return false;
  }
  void SkipSpace() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' ||
                                s_[pos_] == '\r' || s_[pos_] == '\n')) {
      ++pos_;
    }
  }
  bool Starts(std::string_view t) const {
    return s_.substr(pos_, t.size()) == t;
  }
  bool SkipPast(std::string_view end) {
    const std::size_t at = s_.find(end, pos_);
    if (at == std::string_view::npos) return Error("unterminated markup");
    pos_ = at + end.size();
    return true;
  }
  static bool NameChar(char c) {
    return c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '/' &&
           c != '>' && c != '=' && c != '<' && c != '"' && c != '\'';
  }

  bool Markup(Node* node, int depth) {
    if (depth > 200) return Error("nesting too deep");
    if (!Starts("<")) return Error("text outside the root element");
    if (Starts("<!--")) return SkipPast("-->");
    if (Starts("<?")) return SkipPast("?>");
    if (Starts("<!")) return Error("unexpected declaration");
    return Element(node, depth);
  }

  bool Element(Node* node, int depth) {
    ++pos_;
    const std::size_t start = pos_;
    while (pos_ < s_.size() && NameChar(s_[pos_])) ++pos_;
    if (pos_ == start) return Error("element without a name");
    node->kind = Node::kElement;
    node->name = std::string(s_.substr(start, pos_ - start));
    // Attributes: name = "value" pairs, skipped.
    while (true) {
      SkipSpace();
      if (pos_ >= s_.size()) return Error("unterminated start tag");
      if (Starts("/>")) {
        pos_ += 2;
        return true;
      }
      if (s_[pos_] == '>') {
        ++pos_;
        break;
      }
      const std::size_t a = pos_;
      while (pos_ < s_.size() && NameChar(s_[pos_])) ++pos_;
      if (pos_ == a) return Error("bad attribute");
      SkipSpace();
      if (pos_ >= s_.size() || s_[pos_] != '=')
        return Error("attribute without a value");
      ++pos_;
      SkipSpace();
      if (pos_ >= s_.size() || (s_[pos_] != '"' && s_[pos_] != '\'')) {
        return Error("unquoted attribute value");
      }
      const char quote = s_[pos_++];
      const std::size_t end = s_.find(quote, pos_);
      if (end == std::string_view::npos)
        return Error("unterminated attribute value");
      pos_ = end + 1;
    }
    // Content.
    while (true) {
      if (pos_ >= s_.size()) return Error("unterminated element");
      if (Starts("</")) {
        pos_ += 2;
        const std::size_t n = pos_;
        while (pos_ < s_.size() && NameChar(s_[pos_])) ++pos_;
        if (s_.substr(n, pos_ - n) != node->name)
          return Error("mismatched end tag");
        SkipSpace();
        if (pos_ >= s_.size() || s_[pos_] != '>') return Error("bad end tag");
        ++pos_;
        return true;
      }
      if (Starts("<![CDATA[")) {
        pos_ += 9;
        const std::size_t end = s_.find("]]>", pos_);
        if (end == std::string_view::npos) return Error("unterminated CDATA");
        AppendText(node, std::string(s_.substr(pos_, end - pos_)));
        pos_ = end + 3;
        continue;
      }
      if (s_[pos_] == '<') {
        Node child;
        if (!Markup(&child, depth + 1)) return false;
        if (child.kind == Node::kElement)
          node->children.push_back(std::move(child));
        continue;
      }
      std::string text;
      if (!Text(&text)) return false;
      AppendText(node, text);
    }
  }

  static void AppendText(Node* node, const std::string& text) {
    if (!node->children.empty() && node->children.back().kind == Node::kText) {
      node->children.back().text += text;
    } else {
      Node t;
      t.kind = Node::kText;
      t.text = text;
      node->children.push_back(std::move(t));
    }
  }

  bool Text(std::string* out) {
    while (pos_ < s_.size() && s_[pos_] != '<') {
      if (s_[pos_] != '&') {
        *out += s_[pos_++];
        continue;
      }
      const std::size_t end = s_.find(';', pos_);
      if (end == std::string_view::npos || end - pos_ > 12)
        return Error("bad entity");
      const std::string_view entity = s_.substr(pos_ + 1, end - pos_ - 1);
      pos_ = end + 1;
      if (entity == "amp")
        *out += '&';
      else if (entity == "lt")
        *out += '<';
      else if (entity == "gt")
        *out += '>';
      else if (entity == "quot")
        *out += '"';
      else if (entity == "apos")
        *out += '\'';
      else if (entity.size() > 1 && entity[0] == '#') {
        std::uint32_t code = 0;
        const bool hex = entity[1] == 'x';
        for (char c : entity.substr(hex ? 2 : 1)) {
          int digit = c >= '0' && c <= '9' ? c - '0'
                      : hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f'
                          ? (c | 0x20) - 'a' + 10
                          : -1;
          if (digit < 0 || code > 0x10FFFF)
            return Error("bad character reference");
          code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
        }
        if (code == 0 || code > 0x10FFFF)
          return Error("bad character reference");
        AppendUtf8(out, code);
      } else {
        return Error("unknown entity");
      }
    }
    return true;
  }

  static void AppendUtf8(std::string* out, std::uint32_t c) {
    if (c < 0x80) {
      *out += static_cast<char>(c);
    } else if (c < 0x800) {
      *out += static_cast<char>(0xC0 | (c >> 6));
      *out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      *out += static_cast<char>(0xE0 | (c >> 12));
      *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      *out += static_cast<char>(0xF0 | (c >> 18));
      *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }

  std::string_view s_;
  std::size_t pos_ = 0;
  std::string error_;
};

std::string TextOf(const Node& node) {
  std::string out;
  for (const Node& child : node.children) {
    out += child.kind == Node::kText ? child.text : TextOf(child);
  }
  return out;
}

}  // namespace

ManifestReading ReadManifest(std::string_view xml) {
  ManifestReading reading;
  std::vector<Node> top;
  Reader reader(xml);
  if (!reader.Document(&top, &reading.problem)) return reading;
  reading.parsed = true;
  // Whitespace-only text between nodes is dropped at load; what comes first
  // is the root the installer takes.
  const Node& first = top.front();
  if (first.kind != Node::kElement) {
    reading.problem =
        "the document starts with a declaration, comment or processing "
        "instruction, so the "
        "installer finds no menu in it";
    return reading;
  }
  for (const Node& child : first.children) {
    if (child.kind != Node::kElement) continue;
    for (const Node& field : child.children) {
      if (field.kind == Node::kElement && !reading.fields.count(field.name)) {
        reading.fields[field.name] = TextOf(field);
      }
    }
    return reading;
  }
  reading.problem = "the root element has no child element describing the menu";
  return reading;
}

}  // namespace vorela

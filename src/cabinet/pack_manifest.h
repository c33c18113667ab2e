// Reading a plain menu manifest as the installer reads it: the document's first
// child node is the root, the root's first child element describes the menu,
// and its fields are the text of child elements located by name.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace vorela {

struct ManifestReading {
  bool parsed = false;
  std::string problem;  // why it did not parse, or why no menu is found
  // Field element name -> text, of the menu element (empty when none).
  std::map<std::string, std::string> fields;

  // The text of a field, "" when the element is missing.
  std::string Field(const std::string& name) const {
    auto it = fields.find(name);
    return it == fields.end() ? std::string() : it->second;
  }
};

// xml is the decrypted manifest (UTF-8, no declaration expected).
ManifestReading ReadManifest(std::string_view xml);

}  // namespace vorela

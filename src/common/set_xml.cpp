#include "common/set_xml.h"

#include <memory>
#include <string>

#include "common/helpers.h"
#include "common/skip_on_error.h"
#include "common/xml_file.h"

namespace vorela {

void SetXml(const Platform& platform, std::string_view key,
            std::string_view text, std::string_view file_path,
            const SettingsLocation& where) {
  std::unique_ptr<XmlDocument> doc;
  SkipOnError([&] { doc = NewXmlDocument(platform); });
  if (!doc) return;

  bool existing = FileExists(platform, file_path);
  if (existing) {
    switch (LoadForEdit(platform, *doc, file_path)) {
      case ExistingFile::kLoaded:
        break;
      case ExistingFile::kSetAside:
        existing = false;  // the old bytes are safe; write a sound file
        break;
      case ExistingFile::kUntouchable:
        return;
    }
  }
  if (existing) {
    XmlNode node;
    SkipOnError(
        [&] { node = doc->SelectSingleNode("xmlroot/" + std::string(key)); });
    if (!node) {
      SkipOnError([&] {
        node = Require(doc->CreateElement(key));
        Require(doc->SelectSingleNode("xmlroot")).AppendChild(node);
      });
    }
    SkipOnError([&] { Require(node).SetText(text); });
  } else {
    XmlNode root;
    SkipOnError([&] {
      root = doc->AppendChild(Require(doc->CreateElement("xmlroot")));
    });
    SkipOnError([&] { AppendTextElement(*doc, Require(root), key, text); });
  }
  if (!FileExists(platform, where.settings_file)) {
    SkipOnError([&] { MakeDataFolder(platform, where.data_folder); });
  }
  SkipOnError([&] { SaveXmlDocument(platform, *doc, file_path); });
}

}  // namespace vorela

#include "cleaner/xml_writers.h"

#include <memory>

#include "common/error.h"
#include "common/helpers.h"
#include "common/skip_on_error.h"
#include "common/text_util.h"
#include "common/xml_file.h"

namespace vorela {
namespace {

// A new document holding just its root element "xmlroot".
std::unique_ptr<XmlDocument> NewListDocument(const Platform& platform,
                                             XmlNode* root) {
  std::unique_ptr<XmlDocument> doc = NewXmlDocument(platform);
  *root = Require(doc->AppendChild(Require(doc->CreateElement("xmlroot"))));
  return doc;
}

// The first two characters (UTF-16 code units) of text, as the migration
// compares an item's ID with its provider's.
std::string FirstTwo(std::string_view text) {
  std::string head;
  std::size_t units = 0;
  for (std::size_t i = 0; i < text.size() && units < 2;) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    std::size_t len = Utf8SequenceLength(c);
    std::size_t width = len == 4 ? 2 : 1;
    if (units + width > 2) break;
    head.append(text.substr(i, len));
    units += width;
    i += len;
  }
  return head;
}

// Saves doc over path and proves the save: the file then holds what the
// document serialises to. A document that would not load again is not saved
// at all, so the old file stays usable. Throws when either check fails.
void SaveConfirmed(const Platform& platform, XmlDocument& doc, std::string_view path) {
  std::string expected;
  if (!doc.Serialize(&expected) || !LoadsAgain(platform, expected)) {
    throw Error(RuntimeError::kPathFileAccess, "XmlDocument", "The document would not load again");
  }
  SaveXmlDocument(platform, doc, path);
  std::string stored;
  if (platform.files->ReadAll(path, &stored) != kErrorSuccess || stored != expected) {
    throw Error(RuntimeError::kPathFileAccess, "XmlDocument",
                "The file does not hold what was saved");
  }
}

}  // namespace

bool LoadsAgain(const Platform& platform, std::string_view bytes) {
  std::unique_ptr<XmlDocument> doc = NewXmlDocument(platform);
  return doc->LoadBytes(bytes);
}

std::optional<std::string> StoredText(const Platform& platform, std::string_view text) {
  XmlNode root;
  std::unique_ptr<XmlDocument> doc = NewListDocument(platform, &root);
  AppendTextElement(*doc, root, "V", text);
  std::string bytes;
  std::unique_ptr<XmlDocument> again = NewXmlDocument(platform);
  if (!doc->Serialize(&bytes) || !again->LoadBytes(bytes)) return std::nullopt;
  return again->SelectSingleNode("xmlroot/V").Text();
}

void WriteSettingsList(const Platform& platform, std::string_view file,
                       const std::vector<std::pair<std::string, std::string>>& values,
                       const SettingsLocation& where) {
  std::unique_ptr<XmlDocument> doc = NewXmlDocument(platform);
  bool existing = FileExists(platform, file);
  if (existing) {
    switch (LoadForEdit(platform, *doc, file)) {
      case ExistingFile::kLoaded:
        break;
      case ExistingFile::kSetAside:
        existing = false;
        doc = NewXmlDocument(platform);
        break;
      case ExistingFile::kUntouchable:
        throw Error(RuntimeError::kPathFileAccess, "XmlDocument", "The file cannot be read");
    }
  }
  XmlNode root;
  if (existing) {
    root = Require(doc->SelectSingleNode("xmlroot"));
  } else {
    root = Require(doc->AppendChild(Require(doc->CreateElement("xmlroot"))));
  }
  for (const auto& [key, text] : values) {
    XmlNode node = root.SelectSingleNode(key);
    if (!node) node = Require(root.AppendChild(Require(doc->CreateElement(key))));
    node.SetText(text);
  }
  if (!FileExists(platform, where.settings_file)) MakeDataFolder(platform, where.data_folder);
  SaveConfirmed(platform, *doc, file);
}

std::string ReadXmlValue(const Platform& platform, std::string_view key,
                         std::string_view file) {
  std::string value;
  SkipOnError([&] {
    std::unique_ptr<XmlDocument> doc = NewXmlDocument(platform);
    if (!platform.files ||
        doc->Load(*platform.files, file) != XmlLoadResult::kLoaded)
      return;
    value =
        Require(doc->SelectSingleNode("xmlroot/" + std::string(key))).Text();
  });
  return value;
}

void WriteNumberedList(const Platform& platform, std::string_view prefix,
                       std::string_view file,
                       const std::vector<std::string>& list) {
  XmlNode root;
  std::unique_ptr<XmlDocument> doc = NewListDocument(platform, &root);
  for (std::size_t c = 1; c <= list.size(); ++c) {
    AppendTextElement(
        *doc, root, std::string(prefix) + ZeroPad(static_cast<long long>(c), 2),
        list[c - 1]);
  }
  SaveConfirmed(platform, *doc, file);
}

void WriteCategoryFile(const Platform& platform, std::string_view data_folder,
                       const std::vector<MenuItemRecord>& categories) {
  XmlNode root;
  std::unique_ptr<XmlDocument> doc = NewListDocument(platform, &root);
  for (std::int32_t i = 0; i <= UpperBound(categories); ++i) {
    const MenuItemRecord& row = categories[i];
    XmlNode menu = AppendTextElement(*doc, root, "menu", "");
    AppendTextElement(*doc, menu, "DISPNAME", row.DispName);
    AppendTextElement(*doc, menu, "ICON", row.Icon);
    AppendTextElement(*doc, menu, "MENUID", row.MenuId);
  }
  // The old file is replaced only once the new one is complete.
  SaveConfirmed(platform, *doc, std::string(data_folder) + "category.xml");
}

void WriteWebMenuFile(const Platform& platform, std::string_view data_folder,
                      const std::vector<MenuItemRecord>& providers,
                      const std::vector<MenuItemRecord>& items) {
  XmlNode root;
  std::unique_ptr<XmlDocument> doc = NewListDocument(platform, &root);
  for (std::int32_t i = 0; i <= UpperBound(providers); ++i) {
    const MenuItemRecord& provider = providers[i];
    XmlNode prov = AppendTextElement(*doc, root, "PROV", "");
    AppendTextElement(*doc, prov, "DISPNAME", provider.DispName);
    AppendTextElement(*doc, prov, "ICON", provider.Icon);
    AppendTextElement(*doc, prov, "MENUID", provider.MenuId);
    for (std::int32_t j = 1; j <= UpperBound(items); ++j) {
      const MenuItemRecord& item = items[j];
      if (FirstTwo(item.MenuId) != provider.MenuId) continue;
      XmlNode menu = AppendTextElement(*doc, prov, "menu", "");
      AppendTextElement(*doc, menu, "DISPNAME", item.DispName);
      AppendTextElement(*doc, menu, "HINT", item.Hint);
      AppendTextElement(*doc, menu, "ICON", item.Icon);
      AppendTextElement(*doc, menu, "IE", item.Ie);
      AppendTextElement(*doc, menu, "MENUID", item.MenuId);
      AppendTextElement(*doc, menu, "KEYNO", item.KeyNo);
      AppendTextElement(*doc, menu, "CATEGORY", item.Category);
    }
  }
  SaveConfirmed(platform, *doc, std::string(data_folder) + "webmenu.xml");
}

}  // namespace vorela

#include "cleaner/xml_writers.h"

#include <memory>

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

}  // namespace

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
  SaveXmlDocument(platform, *doc, file);
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
  SaveXmlDocument(platform, *doc, std::string(data_folder) + "category.xml");
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
  SaveXmlDocument(platform, *doc, std::string(data_folder) + "webmenu.xml");
}

}  // namespace vorela

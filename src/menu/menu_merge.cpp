#include "menu/menu_merge.h"

#include <initializer_list>
#include <memory>
#include <utility>

#include "common/helpers.h"
#include "common/skip_on_error.h"
#include "common/xml_file.h"

namespace vorela {
namespace {

using Fields =
    std::initializer_list<std::pair<const char*, const std::string*>>;

// "Update": the text of each named child that exists; missing ones stay
// missing.
void UpdateChildren(const XmlNode& element, Fields fields) {
  for (const auto& field : fields) {
    const char* name = field.first;
    const std::string* text = field.second;
    SkipOnError(
        [&] { Require(element.SelectSingleNode(name)).SetText(*text); });
  }
}

// "Append": a new element under parent with its children in the given order.
// The element is returned even when parent is missing (it then stays outside
// the document, and the save writes the document unchanged).
XmlNode AppendElement(XmlDocument& doc, const XmlNode& parent, const char* tag,
                      Fields fields) {
  XmlNode element;
  SkipOnError([&] {
    element = Require(doc.CreateElement(tag));
    Require(parent).AppendChild(element);
  });
  for (const auto& field : fields) {
    const char* name = field.first;
    const std::string* text = field.second;
    SkipOnError([&] { AppendTextElement(doc, Require(element), name, *text); });
  }
  return element;
}

// The common frame: a new document, the per-user folder, the target loaded
// when it is there. Returns false when the target must be left alone.
bool OpenTarget(const Platform& platform, const DataFilePaths& paths,
                std::string_view target, std::unique_ptr<XmlDocument>* doc,
                bool* existing) {
  SkipOnError([&] { *doc = NewXmlDocument(platform); });
  if (!*doc) return false;
  // The folder name ends in "\", so the existence test fails even for an
  // existing folder and the creation runs; its "already exists" is ignored.
  if (!FileExists(platform, paths.iniPath)) {
    SkipOnError([&] { MakeDataFolder(platform, paths.iniPath); });
  }
  *existing = FileExists(platform, target);
  if (!*existing) return true;
  switch (LoadForEdit(platform, **doc, target)) {
    case ExistingFile::kLoaded:
      return true;
    case ExistingFile::kSetAside:
      *existing = false;  // the unreadable original is kept; write a new file
      return true;
    case ExistingFile::kUntouchable:
      return false;
  }
  return false;
}

XmlNode NewRoot(XmlDocument& doc) {
  XmlNode root;
  SkipOnError(
      [&] { root = doc.AppendChild(Require(doc.CreateElement("xmlroot"))); });
  return root;
}

XmlNode ExistingRoot(XmlDocument& doc) {
  XmlNode root;
  SkipOnError([&] { root = doc.SelectSingleNode("xmlroot"); });
  return root;
}

// Saves the document and says whether the element with this ID stands in
// what was saved. A document without a place for it (no xmlroot) is still
// saved as it is, as a merge always has; it just does not count as merged.
Win32Error SaveWith(const Platform& platform, XmlDocument& doc,
                    std::string_view target, std::string_view tag,
                    std::string_view id) {
  XmlNode placed;
  SkipOnError([&] { placed = FindMenuElement(doc, tag, id); });
  if (!platform.files) return kErrorInvalidData;
  Win32Error result = kErrorInvalidData;
  SkipOnError([&] { result = doc.Save(*platform.files, target); });
  if (result != kErrorSuccess) return result;
  return placed ? kErrorSuccess : kErrorInvalidData;
}

}  // namespace

XmlNode FindMenuElement(XmlDocument& doc, std::string_view tag,
                        std::string_view id) {
  return doc.FindElementByChildText(tag, "MENUID", id);
}

Win32Error MergeWebMain(const Platform& platform, const MenuRecord& menu,
                        const DataFilePaths& paths) {
  const std::string& target = paths.iniWebMain;
  std::unique_ptr<XmlDocument> doc;
  bool existing = false;
  if (!OpenTarget(platform, paths, target, &doc, &existing)) {
    return kErrorInvalidData;
  }
  const Fields fields = {{"DISPNAME", &menu.SNAME}, {"HINT", &menu.HINT},
                         {"ICON", &menu.ICON},      {"IE", &menu.IE},
                         {"MENUID", &menu.ID},      {"CATEGORY", &menu.CID}};
  if (existing) {
    XmlNode match;
    SkipOnError([&] { match = FindMenuElement(*doc, "menu", menu.ID); });
    if (match) {
      UpdateChildren(match, fields);
    } else {
      AppendElement(*doc, ExistingRoot(*doc), "menu", fields);
    }
  } else {
    AppendElement(*doc, NewRoot(*doc), "menu", fields);
  }
  return SaveWith(platform, *doc, target, "menu", menu.ID);
}

Win32Error MergeWebMenu(const Platform& platform, const MenuRecord& menu,
                        const DataFilePaths& paths) {
  const std::string& target = paths.iniWebMenu;
  std::unique_ptr<XmlDocument> doc;
  bool existing = false;
  if (!OpenTarget(platform, paths, target, &doc, &existing)) {
    return kErrorInvalidData;
  }
  const Fields provider_fields = {{"DISPNAME", &menu.PDISPNAME},
                                  {"ICON", &menu.PICON},
                                  {"MENUID", &menu.PMENUID}};

  // Provider stage.
  XmlNode provider;
  if (existing) {
    SkipOnError(
        [&] { provider = FindMenuElement(*doc, "PROV", menu.PMENUID); });
    if (provider) {
      UpdateChildren(provider, provider_fields);
    } else {
      provider =
          AppendElement(*doc, ExistingRoot(*doc), "PROV", provider_fields);
    }
  } else {
    provider = AppendElement(*doc, NewRoot(*doc), "PROV", provider_fields);
  }

  // Menu stage: an existing menu keeps its place, IE and KEYNO.
  XmlNode match;
  if (existing)
    SkipOnError([&] { match = FindMenuElement(*doc, "menu", menu.ID); });
  if (match) {
    UpdateChildren(match, {{"DISPNAME", &menu.SNAME},
                           {"HINT", &menu.HINT},
                           {"ICON", &menu.ICON},
                           {"MENUID", &menu.ID},
                           {"CATEGORY", &menu.CID}});
  } else {
    static const std::string kNewKeyNo = "0";
    AppendElement(*doc, provider, "menu",
                  {{"DISPNAME", &menu.SNAME},
                   {"HINT", &menu.HINT},
                   {"ICON", &menu.ICON},
                   {"IE", &menu.IE},
                   {"MENUID", &menu.ID},
                   {"CATEGORY", &menu.CID},
                   {"KEYNO", &kNewKeyNo}});
  }
  return SaveWith(platform, *doc, target, "menu", menu.ID);
}

Win32Error MergeCategory(const Platform& platform, const MenuRecord& menu,
                         const DataFilePaths& paths) {
  const std::string& target = paths.iniCategory;
  std::unique_ptr<XmlDocument> doc;
  bool existing = false;
  if (!OpenTarget(platform, paths, target, &doc, &existing)) {
    return kErrorInvalidData;
  }
  const Fields fields = {
      {"DISPNAME", &menu.CNAME}, {"ICON", &menu.CICON}, {"MENUID", &menu.CID}};
  if (existing) {
    XmlNode match;
    SkipOnError([&] { match = FindMenuElement(*doc, "menu", menu.CID); });
    if (match) {
      UpdateChildren(match, fields);
    } else {
      AppendElement(*doc, ExistingRoot(*doc), "menu", fields);
    }
  } else {
    AppendElement(*doc, NewRoot(*doc), "menu", fields);
  }
  return SaveWith(platform, *doc, target, "menu", menu.CID);
}

}  // namespace vorela

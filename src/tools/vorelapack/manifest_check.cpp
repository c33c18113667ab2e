// The checks of a package's text files: the manifest and the shared files.
#include <memory>

#include "common/captions.h"
#include "common/text_util.h"
#include "common/xml_file.h"
#include "menu/menu_id.h"
#include "menu/menu_records.h"
#include "tools/vorelapack/pack_check.h"

namespace vorela {
namespace {

// True when bytes are well-formed UTF-8 (no stray, truncated or overlong
// sequence); what the XML reader takes a document without a declaration for.
bool IsUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    std::size_t length = Utf8SequenceLength(lead);
    if (length == 1 || lead == 0xC0 || lead == 0xC1 || lead > 0xF4 ||
        i + length > bytes.size()) {
      return false;
    }
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

std::unique_ptr<XmlDocument> Load(const Platform& platform, const std::string& bytes) {
  std::unique_ptr<XmlDocument> doc = NewXmlDocument(platform);
  if (!doc || !doc->LoadBytes(bytes)) return nullptr;
  return doc;
}

}  // namespace

std::vector<PackFinding> CheckManifestText(const Platform& platform,
                                           const std::string& plain) {
  if (!IsUtf8(plain)) {
    return {{true,
             "the manifest is not UTF-8 (Shift_JIS without an XML declaration?): the "
             "installer cannot read it, shows empty fields and its failure caption"}};
  }
  std::unique_ptr<XmlDocument> doc = Load(platform, plain);
  if (!doc) return {{true, "the manifest does not parse as XML"}};
  if (doc->FirstChild().Type() != XmlNodeType::kElement) {
    return {{true,
             "the manifest gives no menu: it starts with a declaration, comment or "
             "processing instruction, so the installer finds no menu in it"}};
  }
  bool has_item = false;
  for (const XmlNode& child : doc->FirstChild().ChildNodes()) {
    if (child.Type() == XmlNodeType::kElement) has_item = true;
  }
  if (!has_item) {
    return {{true,
             "the manifest gives no menu: the root element has no child element "
             "describing the menu"}};
  }
  const MenuRecord menu = ReadMenuManifest(*doc);
  if (menu.ID.empty()) return {{true, "the manifest's ID is empty"}};
  if (!IsUsableMenuId(menu.ID)) {
    return {{true, "the manifest's ID \"" + menu.ID +
                       "\" cannot name a file; the installer merges nothing"}};
  }
  return {};
}

MenuRecord ReadManifestRecord(const Platform& platform, const std::string& plain) {
  std::unique_ptr<XmlDocument> doc = Load(platform, plain);
  return doc ? ReadMenuManifest(*doc) : MenuRecord();
}

std::vector<PackFinding> CheckSharedFile(const Platform& platform,
                                         const std::string& name,
                                         const std::string& path) {
  std::string bytes;
  if (platform.files->ReadAll(path, &bytes) != kErrorSuccess) {
    return {{true, "cannot read \"" + name + "\" from the package"}};
  }
  const std::string replaces =
      "\"" + name + "\" replaces the shared file of that name in the resource folder";
  std::unique_ptr<XmlDocument> doc = bytes.empty() ? nullptr : Load(platform, bytes);
  if (!doc) {
    return {{true, replaces + ", but it " +
                       (bytes.empty() ? "is empty" : "does not parse as XML") +
                       (EqualsIgnoreCase(name, "lang.xml")
                            ? ": every later window has no captions"
                            : ": what the system reads from it is gone")}};
  }
  if (!EqualsIgnoreCase(name, "lang.xml")) {
    return {{false, replaces + "; every user's launcher then reads it"}};
  }
  // The captions as both programs read them, from a file of these bytes.
  CaptionTable captions;
  captions.LoadCaptions(platform, path);
  std::string missing;
  for (int key = 801; key <= 808; ++key) {
    if (captions.GetCaption(std::to_string(key)).empty()) {
      missing += (missing.empty() ? "" : ", ") + std::to_string(key);
    }
  }
  if (missing.empty()) return {};
  return {{true, replaces + ", but it gives no caption " + missing +
                     ": the installer window shows those empty"}};
}

}  // namespace vorela

#include "common/captions.h"

#include "common/helpers.h"
#include "common/skip_on_error.h"
#include "common/text_util.h"
#include "common/xml_file.h"

namespace vorela {

void CaptionTable::LoadCaptions(const Platform& platform,
                                std::string_view path) {
  entries_.clear();
  if (!FileExists(platform, path)) return;
  std::unique_ptr<XmlDocument> doc;
  XmlNode root;
  SkipOnError([&] { doc = NewXmlDocument(platform); });
  if (!doc || !platform.files) return;
  SkipOnError([&] {
    doc->Load(*platform.files, path);
    root = doc->FirstChild();
  });
  for (const XmlNode& node : root.ChildNodes()) {
    CaptionEntry entry;
    SkipOnError([&] {
      if (!node.FirstAttributeText(&entry.CaptionKey)) Require(XmlNode());
    });
    SkipOnError([&] {
      entry.CaptionText = Require(node.SelectSingleNode("CAPTION")).Text();
    });
    entries_.push_back(std::move(entry));
  }
}

const CaptionEntry* CaptionTable::Find(std::string_view key) const {
  for (const CaptionEntry& entry : entries_) {
    if (entry.CaptionKey == key) return &entry;
  }
  return nullptr;
}

std::string CaptionTable::GetCaption(std::string_view key) const {
  const CaptionEntry* entry = Find(key);
  return entry ? entry->CaptionText : std::string();
}

std::string CaptionTable::GetCaptionText(std::string_view key) const {
  const CaptionEntry* entry = Find(key);
  if (!entry) return std::string();
  return ReplaceAll(ReplaceAll(entry->CaptionText, "@@", "&"), "||", "\r\n");
}

}  // namespace vorela

#include "common/xml_file.h"

#include "common/error.h"
#include "common/helpers.h"

namespace vorela {

std::unique_ptr<XmlDocument> NewXmlDocument(const Platform& platform) {
  std::unique_ptr<XmlDocument> doc;
  if (platform.xml) doc = platform.xml->CreateDocument();
  if (!doc)
    throw Error(RuntimeError::kCannotCreateObject, "XmlDocument",
                "The XML document service is not available");
  return doc;
}

const XmlNode& Require(const XmlNode& node) {
  if (!node)
    throw Error(kErrorObjectNotSet, "XmlDocument", "Object variable not set");
  return node;
}

XmlNode AppendTextElement(XmlDocument& doc, const XmlNode& parent,
                          std::string_view name, std::string_view text) {
  XmlNode element = doc.CreateElement(name);
  if (!element)
    throw Error(kObjectError, "XmlDocument", "Invalid element name");
  parent.AppendChild(element);
  element.SetText(text);
  return element;
}

void SaveXmlDocument(const Platform& platform, XmlDocument& doc,
                     std::string_view path) {
  if (!platform.files)
    throw Error(RuntimeError::kPathFileAccess, "XmlDocument", "No file system");
  if (Win32Error e = doc.Save(*platform.files, path)) {
    throw Error(kObjectError + static_cast<std::int32_t>(e & 0xFFFF),
                "XmlDocument", "The file could not be saved");
  }
}

void MakeDataFolder(const Platform& platform, std::string_view folder) {
  if (!platform.files) return;
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
    folder.remove_suffix(1);
  platform.files->MakeDirectory(folder);
}

std::string SetAsideName(std::string_view path, int attempt) {
  std::string name(path);
  name += ".unreadable";
  if (attempt > 1) name += "-" + std::to_string(attempt);
  return name;
}

ExistingFile LoadForEdit(const Platform& platform, XmlDocument& doc,
                         std::string_view path) {
  if (!platform.files) return ExistingFile::kUntouchable;
  std::string bytes;
  if (platform.files->ReadAll(path, &bytes) != kErrorSuccess)
    return ExistingFile::kUntouchable;
  if (doc.LoadBytes(bytes)) return ExistingFile::kLoaded;
  // Never replace an earlier set-aside copy: it may be the only one left of
  // an older original.
  for (int attempt = 1; attempt <= 100; ++attempt) {
    std::string keep = SetAsideName(path, attempt);
    if (FileExists(platform, keep)) continue;
    if (platform.files->WriteAtomic(keep, bytes) != kErrorSuccess) break;
    return ExistingFile::kSetAside;
  }
  return ExistingFile::kUntouchable;
}

}  // namespace vorela

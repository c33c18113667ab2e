// XML data files as the programs edit them: a new document per call, loaded
// whole, edited, saved whole. These helpers give the skip-on-error routines
// statements that fail the way the document service's calls fail (by
// throwing), and they keep the user's bytes safe when a file cannot be parsed.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/xml_dom.h"

namespace vorela {

// The run-time error of a call on an object that is not there.
inline constexpr std::int32_t kErrorObjectNotSet = 91;

// A new, empty document from the platform's service; throws when there is none.
std::unique_ptr<XmlDocument> NewXmlDocument(const Platform& platform);

// node itself; throws when it is a null handle (a lookup that found nothing).
const XmlNode& Require(const XmlNode& node);

// Creates an element, appends it to parent and sets its text, in that order;
// throws when the element cannot be created. The new element is returned even
// when parent refuses it (then it stays outside the document).
XmlNode AppendTextElement(XmlDocument& doc, const XmlNode& parent,
                          std::string_view name, std::string_view text);

// Saves the document over path atomically; throws on failure (the previous
// file is then left as it was).
void SaveXmlDocument(const Platform& platform, XmlDocument& doc,
                     std::string_view path);

// What an edit of an existing file found when it loaded it.
enum class ExistingFile {
  kLoaded,       // parsed; edit it
  kSetAside,     // not parseable: its bytes were kept beside it; start afresh
  kUntouchable,  // neither readable nor parseable-and-kept: leave it alone
};

// Loads path into doc for an edit. A file that is there but is not a
// well-formed document is not overwritten blindly: its bytes are first copied
// to "<path>.unreadable" (or "<path>.unreadable-2", ... when that name is
// taken), so that a merge can still write a sound file without destroying
// the user's data. When the file cannot be read, or the copy cannot be
// written, the answer is kUntouchable and the caller must not save.
ExistingFile LoadForEdit(const Platform& platform, XmlDocument& doc,
                         std::string_view path);

// Creates the (per-user) data folder, one level, ignoring every error (above
// all the one for a folder that is already there). A trailing "\" is allowed.
void MakeDataFolder(const Platform& platform, std::string_view folder);

// The name under which LoadForEdit keeps the bytes of an unparseable file.
std::string SetAsideName(std::string_view path, int attempt);

}  // namespace vorela

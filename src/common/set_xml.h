// SetXml: sets one element of a settings file, the single-value writer of both
// programs.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace vorela {

// Where the settings live: the main settings file ("vorela.xml") and the
// per-user data folder that holds it. The folder is created before the save
// whenever the settings file is missing, whichever file is being written.
struct SettingsLocation {
  std::string_view settings_file;
  std::string_view data_folder;
};

// Sets xmlroot/<key> of file_path to text: the first such element gets the
// text; when there is none, a new element is appended at the end of xmlroot; a
// missing file is created holding xmlroot with that one element. Every other
// element is left as it was. A file that loads but has no xmlroot is saved back
// unchanged. A file that cannot be parsed is kept beside the new one (see
// LoadForEdit) and a new file is written; one that cannot be read at all is
// left alone. Runs in skip-on-error mode: reports nothing, never throws.
void SetXml(const Platform& platform, std::string_view key,
            std::string_view text, std::string_view file_path,
            const SettingsLocation& where);

}  // namespace vorela

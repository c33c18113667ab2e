// The platform bundle handed to the programs' entry routines. The real one holds
// the backends of this build; tests hand in fakes for the seams they control.
#pragma once

#include "platform/browser.h"
#include "platform/cabinet.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/sax_reader.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "platform/xml_dom.h"

namespace vorela {

struct Platform {
  TextCodec* text = nullptr;
  FileSystem* files = nullptr;
  Registry* registry = nullptr;
  SpecialFolders* folders = nullptr;
  Process* process = nullptr;
  Ui* ui = nullptr;
  XmlDom* xml = nullptr;
  SaxReader* sax = nullptr;
  Browser* browser = nullptr;
  CabinetIterator* cabinet = nullptr;
};

// The backends of this build.
Platform SystemPlatform();

}  // namespace vorela

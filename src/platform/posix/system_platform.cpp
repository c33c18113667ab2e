// The bundle of this build's real backends.
#include "platform/platform.h"

namespace vorela {

Platform SystemPlatform() {
  Platform platform;
  platform.text = &SystemTextCodec();
  platform.files = &SystemFileSystem();
  platform.registry = &SystemRegistry();
  platform.folders = &SystemSpecialFolders();
  platform.process = &SystemProcess();
  platform.ui = &SystemUi();
  platform.xml = &SystemXmlDom();
  platform.sax = &SystemSaxReader();
  platform.browser = &SystemBrowser();
  platform.cabinet = &SystemCabinetIterator();
  return platform;
}

}  // namespace vorela

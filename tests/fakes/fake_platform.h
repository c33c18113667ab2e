// One place that assembles a platform of fakes: in-memory files, registry and
// cabinets, a fixed machine's folders and process, a recording user interface.
// Text and XML documents are this build's real services (a fake of either would
// only re-implement them). A test swaps one service with a setter and takes the
// platform from Build().
#pragma once

#include "fakes/fake_cabinet.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_registry.h"
#include "fakes/fixed_folders.h"
#include "fakes/fixed_process.h"
#include "fakes/recording_ui.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/xml_dom.h"

namespace vorela::testing {

class FakePlatformBuilder {
 public:
  FakePlatformBuilder() {
    platform_.text = &SystemTextCodec();
    platform_.files = &files;
    platform_.registry = &registry;
    platform_.folders = &folders;
    platform_.process = &process;
    platform_.ui = &ui;
    platform_.xml = &SystemXmlDom();
    platform_.cabinet = &cabinet;
  }
  // The fakes point into this object: it neither copies nor moves.
  FakePlatformBuilder(const FakePlatformBuilder&) = delete;
  FakePlatformBuilder& operator=(const FakePlatformBuilder&) = delete;

  FakePlatformBuilder& SetFiles(FileSystem* service) { return Set(&Platform::files, service); }
  FakePlatformBuilder& SetRegistry(Registry* service) {
    return Set(&Platform::registry, service);
  }
  FakePlatformBuilder& SetFolders(SpecialFolders* service) {
    return Set(&Platform::folders, service);
  }
  FakePlatformBuilder& SetProcess(Process* service) { return Set(&Platform::process, service); }
  FakePlatformBuilder& SetUi(Ui* service) { return Set(&Platform::ui, service); }
  FakePlatformBuilder& SetXml(XmlDom* service) { return Set(&Platform::xml, service); }
  FakePlatformBuilder& SetSax(SaxReader* service) { return Set(&Platform::sax, service); }
  FakePlatformBuilder& SetCabinet(CabinetIterator* service) {
    return Set(&Platform::cabinet, service);
  }

  Platform Build() const { return platform_; }

  FakeFileSystem files;
  FakeRegistry registry;
  FixedFolders folders;
  FixedProcess process;
  RecordingUi ui;
  FakeCabinet cabinet{files, SystemTextCodec()};

 private:
  template <typename Service>
  FakePlatformBuilder& Set(Service* Platform::*slot, Service* service) {
    platform_.*slot = service;
    return *this;
  }

  Platform platform_;
};

}  // namespace vorela::testing

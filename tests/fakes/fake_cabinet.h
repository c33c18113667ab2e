// A cabinet walk over an in-memory list of files, writing extracted files
// into a FakeFileSystem, with the notification protocol of the cabinet seam
// (the cabinet contract in tests/cabinet runs over it). Any path of an
// existing file names the same cabinet; an empty list stands for a missing
// one. Its files carry no stamps or attributes (they arrive as 0), and it has
// no bytes to be damaged.
#pragma once

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_file_system.h"
#include "platform/cabinet.h"
#include "platform/text.h"

namespace vorela::testing {

class FakeCabinet : public CabinetIterator {
 public:
  FakeCabinet(FakeFileSystem& files, const TextCodec& codec) : files_(files), codec_(codec) {}

  // The files of the cabinet, in cabinet order (names as UTF-8).
  std::vector<std::pair<std::string, std::string>> entries;

  bool IterateCabinet(std::string_view cabinet_ansi, std::uint32_t, CabinetCallback callback,
                      std::uintptr_t context, Win32Error* last_error) override {
    const std::string cabinet(cabinet_ansi);
    if (entries.empty() || !files_.HasFile(codec_.FromAnsi(cabinet))) {
      *last_error = kErrorFileNotFound;
      return false;
    }
    // The cabinet is named by its folder (with the separator) and file name.
    const std::size_t cut = cabinet.find_last_of("\\/");
    const std::string folder = cut == std::string::npos ? "" : cabinet.substr(0, cut + 1);
    const std::string file_name = cabinet.substr(folder.size());
    CabinetInfoA info{folder.c_str(), file_name.c_str(), "", 0, 0};
    if (std::uint32_t e =
            callback(context, kNotifyCabinetInfo, reinterpret_cast<std::uintptr_t>(&info), 0)) {
      *last_error = e;
      return false;
    }
    for (const auto& [name, data] : entries) {
      const std::string stored = codec_.ToAnsi(name);
      FileInCabinetInfoA file{};
      file.NameInCabinet = stored.c_str();
      file.FileSize = static_cast<std::uint32_t>(data.size());
      const std::uint32_t answer =
          callback(context, kNotifyFileInCabinet, reinterpret_cast<std::uintptr_t>(&file),
                   reinterpret_cast<std::uintptr_t>(cabinet.c_str()));
      if (answer == kFileOpSkip) continue;
      if (answer != kFileOpDoIt) {  // ABORT, or any answer outside the protocol
        *last_error = kErrorCancelled;
        return false;
      }
      const std::string target(file.FullTargetName, strnlen(file.FullTargetName, kCabinetMaxPath));
      FilePathsA paths{target.c_str(), cabinet.c_str(),
                       files_.WriteAtomic(codec_.FromAnsi(target), data), 0};
      if (std::uint32_t e = callback(context, kNotifyFileExtracted,
                                     reinterpret_cast<std::uintptr_t>(&paths), 0)) {
        *last_error = e;
        return false;
      }
    }
    return true;
  }

 private:
  FakeFileSystem& files_;
  const TextCodec& codec_;
};

}  // namespace vorela::testing

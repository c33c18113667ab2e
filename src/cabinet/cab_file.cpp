#include "cabinet/cab_file.h"

#include <utility>

#include "cabinet/cab_errors.h"
#include "cabinet/cab_listing.h"
#include "cabinet/cabinet_notify.h"
#include "common/text_util.h"

namespace vorela {
namespace {

// Runs an operation's body; an error leaving it gets `source` when one is
// given.
template <class Body>
auto Reraising(const char* source, Body&& body) {
  try {
    return body();
  } catch (Error& e) {
    if (source) e.SetSource(source);
    throw;
  }
}

const FileInCabinetInfoA& InfoOf(std::uintptr_t param1) {
  return *reinterpret_cast<const FileInCabinetInfoA*>(param1);
}

}  // namespace

CabFile::CabFile(const Platform& platform) : platform_(platform) {}

CabFile::~CabFile() {
  if (CurrentCabinet() == this) SetCurrentCabinet(nullptr);
}

std::int32_t CabFile::FileCount() {
  return Reraising(nullptr, [&] {
    // Each read counts afresh: a count that grew with every read would be wrong
    // from the second read on.
    file_counter_ = 0;
    RunPass(kCabModeFileCount);
    return file_counter_;
  });
}

bool CabFile::Extract(const std::string& FileToExtract,
                      const std::string& OutputPath,
                      const std::string& OutputFile) {
  return Reraising(nullptr, [&] {
    if (!CabName.empty()) {
      selected_file_ = FileToExtract;
      output_path_ = OutputPath;
      output_file_ = OutputFile;
    }
    return RunPass(kCabModeExtract);
  });
}

bool CabFile::GetInfo(const std::string& FileToInvestigate) {
  return Reraising("CabFile.GetInfo", [&] {
    if (!CabName.empty()) selected_file_ = FileToInvestigate;
    return RunPass(kCabModeGetInfo);
  });
}

std::string CabFile::GetXML(const std::string& FileToInvestigate) {
  return Reraising("CabFile.GetXML", [&] {
    if (!CabName.empty()) {
      selected_file_ = FileToInvestigate;
      xml_.clear();
    }
    RunPass(kCabModeGetXml);
    return CabListing(CabName, xml_);
  });
}

bool CabFile::RunPass(std::uint32_t mode) {
  if (CabName.empty())
    throw Error(kCabNameMissingError, "CabFile", kCabNameMissingDescription);
  SetCurrentCabinet(this);
  kept_error_.reset();
  stopped_ = false;
  stopped_on_match_ = false;

  Win32Error last_error = kErrorSuccess;
  const bool ok = platform_.cabinet->IterateCabinet(
      platform_.text->ToAnsi(CabName), 0, CabinetNotify, mode, &last_error);
  if (kept_error_) {
    Error error = std::move(*kept_error_);
    kept_error_.reset();
    throw error;
  }
  // A walk that the handler ended after finding the selected file succeeded,
  // whatever the platform makes of the early stop.
  if (!ok && !stopped_on_match_) throw CabPlatformError(last_error);
  return true;
}

std::uint32_t CabFile::KeepError(Error error,
                                 std::uint32_t notification) noexcept {
  if (!kept_error_) kept_error_ = std::move(error);
  stopped_ = true;
  return notification == kNotifyFileInCabinet ? kFileOpAbort : kErrorCancelled;
}

std::uint32_t CabFile::CabCallBack(std::uint32_t mode,
                                   std::uint32_t notification,
                                   std::uintptr_t param1,
                                   std::uintptr_t param2) {
  try {
    switch (notification) {
      case kNotifyFileInCabinet:
        if (stopped_) return kFileOpAbort;
        switch (mode) {
          case kCabModeFileCount:
            ++file_counter_;
            return kFileOpSkip;
          case kCabModeGetInfo:
            return InfoHandler(param1);
          case kCabModeExtract:
            return ExtractHandler(param1);
          case kCabModeGetXml:
            return ListingHandler(param1);
          default:
            return kFileOpAbort;
        }
      case kNotifyNeedNewCabinet:
        return kNoError;
      case kNotifyFileExtracted:
        return ExtractedHandler(param1);
      default:
        return 0;
    }
  } catch (Error& e) {
    e.SetSource("CabFile.CabCallBack");
    throw;
  }
}

std::uint32_t CabFile::InfoHandler(std::uintptr_t param1) {
  const FileInCabinetInfoA& info = InfoOf(param1);
  const std::string name =
      AnsiPointerToString(*platform_.text, info.NameInCabinet);
  std::string folder, file_name;
  SplitStoredName(name, &folder, &file_name);
  std::uint32_t result = kFileOpSkip;
  bool selected = selected_file_.empty();
  if (!selected && EqualsIgnoreCase(selected_file_, name)) {
    selected = true;
    result = kFileOpAbort;
    stopped_ = stopped_on_match_ = true;
  }
  if (selected && FileFound) {
    FileFound(file_name, DosStampToDate(info.DosDate, info.DosTime),
              static_cast<std::int32_t>(info.FileSize), folder);
  }
  return result;
}

std::uint32_t CabFile::ListingHandler(std::uintptr_t param1) {
  const FileInCabinetInfoA& info = InfoOf(param1);
  const std::string name =
      AnsiPointerToString(*platform_.text, info.NameInCabinet);
  std::string folder, file_name;
  SplitStoredName(name, &folder, &file_name);
  std::uint32_t result = kFileOpSkip;
  bool selected = selected_file_.empty();
  if (!selected && EqualsIgnoreCase(selected_file_, file_name)) {
    selected = true;
    result = kFileOpAbort;
    stopped_ = stopped_on_match_ = true;
  }
  if (selected) {
    xml_ += FileElement(name, DosStampToDate(info.DosDate, info.DosTime),
                        static_cast<std::int32_t>(info.FileSize));
    xml_ += "\r\n";
  }
  return result;
}

std::uint32_t CabFile::ExtractHandler(std::uintptr_t param1) {
  auto& info = *reinterpret_cast<FileInCabinetInfoA*>(param1);
  const std::string name =
      AnsiPointerToString(*platform_.text, info.NameInCabinet);
  if (!selected_file_.empty() && !EqualsIgnoreCase(selected_file_, name))
    return kFileOpSkip;

  bool cancel = false;
  if (BeforeExtract) BeforeExtract(name, cancel);
  if (cancel) return kFileOpSkip;

  // A stored name is data from the cabinet: it may only name a place below the
  // output folder, never climb out of it or start from a root of its own.
  if (output_file_.empty() && !IsContainedStoredName(name)) return kFileOpSkip;

  const std::string folder =
      output_path_.empty() ? FolderOf(CabName) : output_path_;
  const std::string target = EnsureTrailingBackslash(folder) +
                             (output_file_.empty() ? name : output_file_);
  std::string target_folder, target_name;
  SplitStoredName(target, &target_folder, &target_name);
  if (!CreateFolderPath(*platform_.files, target_folder)) return kFileOpSkip;
  WriteTargetName(*platform_.text, info.FullTargetName, kCabinetMaxPath,
                  target);
  return kFileOpDoIt;
}

std::uint32_t CabFile::ExtractedHandler(std::uintptr_t param1) {
  const auto& paths = *reinterpret_cast<const FilePathsA*>(param1);
  if (paths.Win32Error == 0 && AfterExtract) {
    AfterExtract(AnsiPointerToString(*platform_.text, paths.Target));
  }
  return paths.Win32Error;
}

}  // namespace vorela

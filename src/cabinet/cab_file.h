// CabFile: lists, describes and extracts the files of one cabinet by driving
// the platform's cabinet walk, turning each notification into an event on the
// object or a line of an XML listing.
//
// One walk at a time in the whole program: the platform's callback finds its
// object through one module-wide reference (cabinet_notify.h). Event handlers
// run inside the walk and must not start another operation.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "cabinet/cab_routines.h"
#include "common/error.h"
#include "platform/platform.h"

namespace vorela {

// The mode of a pass, handed to the platform as the walk's context.
inline constexpr std::uint32_t kCabModeFileCount = 0;
inline constexpr std::uint32_t kCabModeGetInfo = 1;
inline constexpr std::uint32_t kCabModeExtract = 2;
inline constexpr std::uint32_t kCabModeGetXml = 3;

class CabFile {
 public:
  // platform must outlive the object; its text, files and cabinet seams are
  // used.
  explicit CabFile(const Platform& platform);
  ~CabFile();
  CabFile(const CabFile&) = delete;
  CabFile& operator=(const CabFile&) = delete;

  // Full path of the cabinet; must be set before any operation.
  std::string CabName;

  // Events, raised synchronously during the walk.
  std::function<void(const std::string& FileName, const CabDateTime& DateTime,
                     std::int32_t Size, const std::string& Path)>
      FileFound;
  std::function<void(const std::string& FileName, bool& Cancel)> BeforeExtract;
  std::function<void(const std::string& Target)> AfterExtract;

  // The number of files in the cabinet (counted afresh on every read).
  std::int32_t FileCount();

  // Extracts every file (FileToExtract empty) or the files whose stored name
  // equals FileToExtract (case ignored) to OutputPath (default: the cabinet's
  // folder) + "\" + OutputFile (default: the stored name, subfolders created).
  // A stored name that would leave the output folder ("..", a root, a drive,
  // a share) is never written; the rest of the cabinet still extracts.
  bool Extract(const std::string& FileToExtract, const std::string& OutputPath,
               const std::string& OutputFile);

  // Raises FileFound for every file, or for the first whose full stored name
  // equals FileToInvestigate (case ignored).
  bool GetInfo(const std::string& FileToInvestigate);

  // The XML listing of every file, or of the first whose name after the last
  // "\" equals FileToInvestigate (case ignored).
  std::string GetXML(const std::string& FileToInvestigate);

 private:
  friend std::uint32_t CabinetNotify(std::uintptr_t, std::uint32_t,
                                     std::uintptr_t, std::uintptr_t) noexcept;

  // The per-notification handler, called only from CabinetNotify.
  std::uint32_t CabCallBack(std::uint32_t mode, std::uint32_t notification,
                            std::uintptr_t param1, std::uintptr_t param2);
  std::uint32_t InfoHandler(std::uintptr_t param1);
  std::uint32_t ExtractHandler(std::uintptr_t param1);
  std::uint32_t ListingHandler(std::uintptr_t param1);
  std::uint32_t ExtractedHandler(std::uintptr_t param1);

  // Called by CabinetNotify when CabCallBack raised: the error is kept until
  // the platform's walk has returned, and the walk is stopped.
  std::uint32_t KeepError(Error error, std::uint32_t notification) noexcept;

  // Steps 1-4 of every operation.
  bool RunPass(std::uint32_t mode);

  const Platform& platform_;
  std::string selected_file_;
  std::string output_path_;
  std::string output_file_;
  std::int32_t file_counter_ = 0;
  std::string xml_;

  // State of the walk in progress.
  std::optional<Error> kept_error_;
  bool stopped_ = false;           // the handler ended the walk
  bool stopped_on_match_ = false;  // ... because the selected file was found
};

}  // namespace vorela

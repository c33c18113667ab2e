// New cabinets through the platform's cabinet compressor (cabinet.dll FCI):
// one MSZIP folder, written under a temporary name beside the target and moved
// over it once complete, so a failure leaves the old file as it was.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/cabinet.h"
#include "platform/text.h"
#include "platform/win32/windows_lean.h"
// windows.h first: fci.h needs its types.
#include <fci.h>

namespace vorela {
namespace {

struct Job {
  Win32Error error = kErrorSuccess;
  std::string temp_folder;
  unsigned serial = 0;
};

FNFCIALLOC(Alloc) { return std::malloc(cb); }
FNFCIFREE(Free) { std::free(memory); }

FNFCIOPEN(Open) {
  HANDLE h =
      CreateFileA(pszFile,
                  (oflag & (_O_WRONLY | _O_RDWR)) ? GENERIC_READ | GENERIC_WRITE
                                                  : GENERIC_READ,
                  FILE_SHARE_READ, nullptr,
                  (oflag & _O_CREAT) ? CREATE_ALWAYS : OPEN_EXISTING,
                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    *err = static_cast<int>(GetLastError());
    return -1;
  }
  return reinterpret_cast<INT_PTR>(h);
}

FNFCIREAD(Read) {
  DWORD done = 0;
  if (!ReadFile(reinterpret_cast<HANDLE>(hf), memory, cb, &done, nullptr)) {
    *err = static_cast<int>(GetLastError());
    return static_cast<UINT>(-1);
  }
  return done;
}

FNFCIWRITE(Write) {
  DWORD done = 0;
  if (!WriteFile(reinterpret_cast<HANDLE>(hf), memory, cb, &done, nullptr)) {
    *err = static_cast<int>(GetLastError());
    static_cast<Job*>(pv)->error = GetLastError();
    return static_cast<UINT>(-1);
  }
  return done;
}

FNFCICLOSE(Close) { return CloseHandle(reinterpret_cast<HANDLE>(hf)) ? 0 : -1; }

FNFCISEEK(Seek) {
  const DWORD method = seektype == SEEK_SET   ? FILE_BEGIN
                       : seektype == SEEK_CUR ? FILE_CURRENT
                                              : FILE_END;
  const DWORD at =
      SetFilePointer(reinterpret_cast<HANDLE>(hf), dist, nullptr, method);
  if (at == INVALID_SET_FILE_POINTER) {
    *err = static_cast<int>(GetLastError());
    return -1;
  }
  return static_cast<__LONG32>(at);
}

FNFCIDELETE(Delete) {
  if (!DeleteFileA(pszFile)) {
    *err = static_cast<int>(GetLastError());
    return -1;
  }
  return 0;
}

FNFCIFILEPLACED(Placed) { return 0; }

FNFCIGETTEMPFILE(TempFile) {
  Job& job = *static_cast<Job*>(pv);
  char name[MAX_PATH];
  std::snprintf(name, sizeof name, "%s~vfci%lu-%u.tmp", job.temp_folder.c_str(),
                GetCurrentProcessId(), ++job.serial);
  if (static_cast<int>(std::strlen(name)) >= cbTempName) return FALSE;
  std::strcpy(pszTempName, name);
  return TRUE;
}

FNFCIGETNEXTCABINET(NextCabinet) { return FALSE; }  // one cabinet only
FNFCISTATUS(Status) { return 0; }

FNFCIGETOPENINFO(OpenInfo) {
  HANDLE h = CreateFileA(
      pszName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    *err = static_cast<int>(GetLastError());
    static_cast<Job*>(pv)->error = GetLastError();
    return -1;
  }
  BY_HANDLE_FILE_INFORMATION info;
  FILETIME local;
  if (GetFileInformationByHandle(h, &info) &&
      FileTimeToLocalFileTime(&info.ftLastWriteTime, &local)) {
    FileTimeToDosDateTime(&local, pdate, ptime);
  }
  *pattribs =
      static_cast<USHORT>(GetFileAttributesA(pszName) &
                          (_A_RDONLY | _A_HIDDEN | _A_SYSTEM | _A_ARCH));
  return reinterpret_cast<INT_PTR>(h);
}

class FciCabinetWriter final : public CabinetWriter {
 public:
  Win32Error WriteCabinet(std::string_view cabinet_path,
                          const std::vector<CabinetSource>& files) override {
    const TextCodec& codec = SystemTextCodec();
    const std::string target = codec.ToAnsi(cabinet_path);
    const std::size_t cut = target.find_last_of("\\/");
    const std::string folder =
        cut == std::string::npos ? ".\\" : target.substr(0, cut + 1);
    char temp_name[64];
    std::snprintf(temp_name, sizeof temp_name, "~vcab%lu.tmp",
                  GetCurrentProcessId());
    if (folder.size() + std::strlen(temp_name) >= CB_MAX_CAB_PATH)
      return kErrorBufferOverflow;

    Job job;
    job.temp_folder = folder;
    CCAB ccab{};
    ccab.cb = 0x7FFFFFFF;
    ccab.cbFolderThresh = 0x7FFFFFFF;
    ccab.setID = 0x5650;
    std::strcpy(ccab.szCabPath, folder.c_str());
    std::strcpy(ccab.szCab, temp_name);
    ERF erf{};
    HFCI fci = FCICreate(&erf, Placed, Alloc, Free, Open, Read, Write, Close,
                         Seek, Delete, TempFile, &ccab, &job);
    if (!fci) return kErrorNotEnoughMemory;
    const std::string temp_path = folder + temp_name;
    bool ok = true;
    for (const CabinetSource& source : files) {
      std::string from = codec.ToAnsi(source.path);
      std::string stored = codec.ToAnsi(source.name);
      if (GetFileAttributesA(from.c_str()) == INVALID_FILE_ATTRIBUTES) {
        job.error = kErrorFileNotFound;
        ok = false;
        break;
      }
      if (!FCIAddFile(fci, from.data(), stored.data(), FALSE, NextCabinet,
                      Status, OpenInfo, tcompTYPE_MSZIP)) {
        ok = false;
        break;
      }
    }
    if (ok) ok = FCIFlushCabinet(fci, FALSE, NextCabinet, Status);
    FCIDestroy(fci);
    if (ok && !MoveFileExA(temp_path.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING)) {
      job.error = GetLastError();
      ok = false;
    }
    if (!ok) {
      DeleteFileA(temp_path.c_str());
      return job.error != kErrorSuccess ? job.error : kErrorCannotMake;
    }
    return kErrorSuccess;
  }
};

}  // namespace

CabinetWriter& SystemCabinetWriter() {
  static FciCabinetWriter writer;
  return writer;
}

}  // namespace vorela

// New cabinets through libgcab: one MSZIP folder, written to a temporary file
// beside the target and renamed over it (GIO's replace does exactly that).
#include <libgcab.h>

#include <string>
#include <vector>

#include "platform/cabinet.h"
#include "platform/posix/machine.h"
#include "platform/text.h"

namespace vorela {
namespace {

template <class T>
struct GObjectPtr {
  T* p = nullptr;
  explicit GObjectPtr(T* value) : p(value) {}
  ~GObjectPtr() {
    if (p) g_object_unref(p);
  }
  GObjectPtr(const GObjectPtr&) = delete;
  GObjectPtr& operator=(const GObjectPtr&) = delete;
};

Win32Error FromGError(GError* error) {
  Win32Error code = kErrorCannotMake;
  if (error && error->domain == G_IO_ERROR) {
    switch (error->code) {
      case G_IO_ERROR_NOT_FOUND:
        code = kErrorFileNotFound;
        break;
      case G_IO_ERROR_PERMISSION_DENIED:
        code = kErrorAccessDenied;
        break;
      case G_IO_ERROR_NO_SPACE:
        code = kErrorDiskFull;
        break;
      case G_IO_ERROR_IS_DIRECTORY:
        code = kErrorAccessDenied;
        break;
      case G_IO_ERROR_FILENAME_TOO_LONG:
        code = kErrorBufferOverflow;
        break;
      case G_IO_ERROR_READ_ONLY:
        code = kErrorWriteProtect;
        break;
      default:
        break;
    }
  } else if (error && error->domain == GCAB_ERROR) {
    code = kErrorInvalidParameter;
  }
  if (error) g_error_free(error);
  return code;
}

class GcabCabinetWriter final : public CabinetWriter {
 public:
  Win32Error WriteCabinet(std::string_view cabinet_path,
                          const std::vector<CabinetSource>& files) override {
    GError* error = nullptr;
    GObjectPtr<GCabCabinet> cabinet(gcab_cabinet_new());
    GObjectPtr<GCabFolder> folder(gcab_folder_new(GCAB_COMPRESSION_MSZIP));
    for (const CabinetSource& source : files) {
      const std::string native = posix::NativePath(source.path);
      GObjectPtr<GFile> file(g_file_new_for_path(native.c_str()));
      if (!g_file_query_exists(file.p, nullptr)) return kErrorFileNotFound;
      const std::string stored = SystemTextCodec().ToAnsi(source.name);
      GObjectPtr<GCabFile> entry(
          gcab_file_new_with_file(stored.c_str(), file.p));
      if (!gcab_folder_add_file(folder.p, entry.p, FALSE, nullptr, &error)) {
        return FromGError(error);
      }
    }
    if (!gcab_cabinet_add_folder(cabinet.p, folder.p, &error))
      return FromGError(error);

    const std::string out_native = posix::NativePath(cabinet_path);
    GObjectPtr<GFile> out(g_file_new_for_path(out_native.c_str()));
    GObjectPtr<GFileOutputStream> stream(g_file_replace(
        out.p, nullptr, FALSE, G_FILE_CREATE_NONE, nullptr, &error));
    if (!stream.p) return FromGError(error);
    if (!gcab_cabinet_write_simple(cabinet.p, G_OUTPUT_STREAM(stream.p),
                                   nullptr, nullptr, nullptr, &error)) {
      // Cancelling the close keeps the old file: GIO drops the temporary one.
      GCancellable* cancel = g_cancellable_new();
      g_cancellable_cancel(cancel);
      g_output_stream_close(G_OUTPUT_STREAM(stream.p), cancel, nullptr);
      g_object_unref(cancel);
      return FromGError(error);
    }
    if (!g_output_stream_close(G_OUTPUT_STREAM(stream.p), nullptr, &error)) {
      return FromGError(error);
    }
    return kErrorSuccess;
  }
};

}  // namespace

CabinetWriter& SystemCabinetWriter() {
  static GcabCabinetWriter writer;
  return writer;
}

}  // namespace vorela

#include "cabinet/cabinet_notify.h"

#include <exception>
#include <new>

#include "cabinet/cab_file.h"

namespace vorela {
namespace {

CabFile* g_current_cabinet = nullptr;

}  // namespace

void SetCurrentCabinet(CabFile* cabinet) { g_current_cabinet = cabinet; }

CabFile* CurrentCabinet() { return g_current_cabinet; }

std::uint32_t CabinetNotify(std::uintptr_t context, std::uint32_t notification,
                            std::uintptr_t param1,
                            std::uintptr_t param2) noexcept {
  CabFile* cabinet = g_current_cabinet;
  if (!cabinet) return 0;
  // Nothing may unwind through the platform's walk: every error stays here.
  try {
    return cabinet->CabCallBack(static_cast<std::uint32_t>(context),
                                notification, param1, param2);
  } catch (const Error& e) {
    return cabinet->KeepError(e, notification);
  } catch (const std::bad_alloc&) {
    return cabinet->KeepError(
        Error(RuntimeError::kOutOfMemory, "CabFile.CabCallBack", "Out of memory"), notification);
  } catch (const std::exception& e) {
    return cabinet->KeepError(
        Error(kObjectError, "CabFile.CabCallBack", e.what()), notification);
  } catch (...) {
    return cabinet->KeepError(
        Error(kObjectError, "CabFile.CabCallBack", "Unknown error."),
        notification);
  }
}

}  // namespace vorela

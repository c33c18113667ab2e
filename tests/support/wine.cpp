#include "support/wine.h"

#ifdef _WIN32
#include "platform/win32/windows_lean.h"
#endif

namespace vorela::testing {

bool RunningUnderWine() {
#ifdef _WIN32
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

}  // namespace vorela::testing

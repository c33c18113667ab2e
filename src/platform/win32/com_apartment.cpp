#include "platform/win32/com_apartment.h"

#include <objbase.h>

namespace vorela::win32 {
namespace {

// Distinct from every result CoInitializeEx gives: the thread has not asked.
constexpr HRESULT kNotAsked = static_cast<HRESULT>(0x7FFFFFFF);

}  // namespace

HRESULT EnsureCom() {
  // A plain value, constant-initialised: no thread-exit destructor is needed
  // (or wanted, see the header), which keeps MinGW's TLS out of the picture.
  thread_local HRESULT state = kNotAsked;
  if (state == kNotAsked) {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // S_FALSE: the thread already was in an STA; RPC_E_CHANGED_MODE: in the MTA.
    state = SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE ? S_OK : hr;
  }
  return state;
}

}  // namespace vorela::win32

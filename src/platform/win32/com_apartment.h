// The one way the Windows backends set COM up: EnsureCom() before the first
// COM call on a thread.
//
// Each thread that asks joins a single-threaded apartment (STA) on its first
// call and stays in it until the thread ends; COM is never uninitialised here.
// Why this policy:
// - STA, because the threads that ask are the programs' window threads, and
//   windows, the browser automation object and OLE (clipboard, drag and drop)
//   want a single-threaded apartment there. The DOM and SAX objects are
//   "Both"-threaded in-process servers and work in either apartment.
// - Per thread, because an apartment belongs to a thread: initialising once per
//   process would leave every other thread without COM.
// - Never uninitialised, because document and node handles have no scope COM
//   could be tied to (a node may outlive its document, a document its caller),
//   and releasing an object after CoUninitialize is undefined. A balanced
//   per-call init would also load and unload the servers on every parse.
// A thread that is already in the multi-threaded apartment (its owner chose
// that, RPC_E_CHANGED_MODE) is used as it is: every object used here works
// there too. Objects created on a thread stay on it: handles must not be passed
// to another thread.
#pragma once

#include "platform/win32/windows_lean.h"

namespace vorela::win32 {

// S_OK when COM can be used on the calling thread, else the failure of
// CoInitializeEx (remembered: a failed thread is not retried).
HRESULT EnsureCom();

}  // namespace vorela::win32

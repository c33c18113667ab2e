#include "support/message_box_watcher.h"

#ifdef _WIN32
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "platform/win32/windows_lean.h"
#endif

namespace vorela::testing {

#ifdef _WIN32
namespace {

constexpr wchar_t kDrivers[] = L"Software\\Wine\\Drivers";
constexpr wchar_t kDesktop[] = L"vorela-message-boxes";
constexpr int kMessageTextId = 0xFFFF;  // the static control that holds the text

std::wstring Wide(const std::string& text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string Narrow(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::string BoxText(HWND box) {
  HWND text = GetDlgItem(box, kMessageTextId);
  if (!text) return "";
  std::wstring buffer(static_cast<size_t>(GetWindowTextLengthW(text)) + 1, L'\0');
  buffer.resize(static_cast<size_t>(GetWindowTextW(text, buffer.data(),
                                                   static_cast<int>(buffer.size()))));
  return Narrow(buffer);
}

}  // namespace

struct MessageBoxWatcher::State {
  std::wstring title;
  std::atomic<bool> stop{false};
  mutable std::mutex mutex;
  std::vector<std::string> texts;
  std::thread thread;
  HKEY drivers = nullptr;
  HDESK desktop = nullptr;
  bool had_graphics = false;
  std::wstring old_graphics;

  void Watch() {
    if (desktop) SetThreadDesktop(desktop);
    HWND last = nullptr;
    while (!stop) {
      HWND box = FindWindowW(L"#32770", title.c_str());
      if (box && box != last) {
        std::string text = BoxText(box);
        {
          std::lock_guard<std::mutex> lock(mutex);
          texts.push_back(std::move(text));
        }
        last = box;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
};

MessageBoxWatcher::MessageBoxWatcher(const std::string& title)
    : state_(std::make_unique<State>()) {
  state_->title = Wide(title);
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kDrivers, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &state_->drivers, nullptr) == ERROR_SUCCESS) {
    wchar_t old[64] = {};
    DWORD size = sizeof old - sizeof(wchar_t);
    state_->had_graphics = RegQueryValueExW(state_->drivers, L"Graphics", nullptr, nullptr,
                                            reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
    state_->old_graphics = old;
    const wchar_t null_driver[] = L"null";
    RegSetValueExW(state_->drivers, L"Graphics", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(null_driver), sizeof null_driver);
  }
  // The desktop's display driver is chosen when the desktop first starts,
  // from the setting above; the setting is only needed until then.
  state_->desktop = CreateDesktopW(kDesktop, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  state_->thread = std::thread([s = state_.get()] { s->Watch(); });
}

std::string MessageBoxWatcher::Desktop() const { return state_->desktop ? Narrow(kDesktop) : ""; }

MessageBoxWatcher::~MessageBoxWatcher() {
  state_->stop = true;
  state_->thread.join();
  if (!state_->drivers) return;
  if (state_->had_graphics) {
    const std::wstring& old = state_->old_graphics;
    RegSetValueExW(state_->drivers, L"Graphics", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(old.c_str()),
                   static_cast<DWORD>((old.size() + 1) * sizeof(wchar_t)));
  } else {
    RegDeleteValueW(state_->drivers, L"Graphics");
  }
  RegCloseKey(state_->drivers);
  if (state_->desktop) CloseDesktop(state_->desktop);
}

std::vector<std::string> MessageBoxWatcher::Texts() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->texts;
}

#else

struct MessageBoxWatcher::State {};

MessageBoxWatcher::MessageBoxWatcher(const std::string&) : state_(std::make_unique<State>()) {}
MessageBoxWatcher::~MessageBoxWatcher() = default;
std::string MessageBoxWatcher::Desktop() const { return ""; }
std::vector<std::string> MessageBoxWatcher::Texts() const { return {}; }

#endif

}  // namespace vorela::testing

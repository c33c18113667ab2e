#include "platform/posix/window_model.h"

#include <unistd.h>

#include <algorithm>
#include <utility>

namespace vorela {

// The model lays the request out as the shipped 32-bit build does.
const std::uint32_t kTrackMouseEventSize = 16;

namespace posix {

struct WindowModel::Window {
  WindowHandle handle = 0;
  WindowHandle parent = 0;
  WindowRect rect;
  ProcessId process = 0;
  ProcedureToken procedure = 0;  // current head of the chain (0: default handling)
  ProcedureToken seam_installed = 0;
  bool destroying = false;
};

struct WindowModel::Procedure {
  WindowProcedure callable;
  WindowHandle owner = 0;
  // Pass-through: a replaced procedure that was ended while something else
  // sat on top of it keeps forwarding to the one it replaced.
  bool pass_through = false;
  ProcedureToken pass_to = 0;
};

namespace {

std::string FoldModuleName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  // "user32" and "user32.dll" name the same module.
  if (folded.size() > 4 && folded.compare(folded.size() - 4, 4, ".dll") == 0) {
    folded.resize(folded.size() - 4);
  }
  return folded;
}

WindowLParam SizeLParam(int width, int height) { return MakePointLParam(width, height); }

}  // namespace

WindowModel::WindowModel() {
  AddModule("User32", {"TrackMouseEvent"});
  AddModule("Comctl32", {"_TrackMouseEvent"});
}

WindowModel::~WindowModel() = default;

WindowModel::Window* WindowModel::Find(WindowHandle window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : it->second.get();
}

ProcedureToken WindowModel::AddProcedure(WindowProcedure procedure, WindowHandle owner) {
  ProcedureToken token = next_procedure_;
  next_procedure_ += 0x10;
  auto entry = std::make_shared<Procedure>();
  entry->callable = std::move(procedure);
  entry->owner = owner;
  procedures_[token] = std::move(entry);
  return token;
}

WindowHandle WindowModel::MakeWindow(WindowHandle parent, const WindowRect& rect,
                                     WindowProcedure procedure) {
  if (parent != 0 && !Find(parent)) return 0;
  if (rect.width < 0 || rect.height < 0) return 0;
  WindowHandle handle = next_handle_;
  next_handle_ += 4;
  auto window = std::make_unique<Window>();
  window->handle = handle;
  window->parent = parent;
  window->rect = rect;
  window->process = CurrentProcessId();
  if (procedure) window->procedure = AddProcedure(std::move(procedure), handle);
  windows_[handle] = std::move(window);
  SendWindowMessage(handle, kWmCreate, 0, 0);
  if (IsWindow(handle)) SendWindowMessage(handle, kWmSize, 0, SizeLParam(rect.width, rect.height));
  return IsWindow(handle) ? handle : 0;
}

WindowHandle WindowModel::MakeForeignWindow(const WindowRect& rect) {
  WindowHandle handle = MakeWindow(0, rect, nullptr);
  if (Window* w = Find(handle)) w->process = CurrentProcessId() + 1;
  return handle;
}

void WindowModel::DestroyTree(WindowHandle handle) {
  Window* window = Find(handle);
  if (!window || window->destroying) return;
  window->destroying = true;
  SendWindowMessage(handle, kWmDestroy, 0, 0);
  std::vector<WindowHandle> children;
  for (const auto& [h, w] : windows_) {
    if (w->parent == handle) children.push_back(h);
  }
  for (WindowHandle child : children) DestroyTree(child);
  SendWindowMessage(handle, kWmNcDestroy, 0, 0);
  for (auto it = procedures_.begin(); it != procedures_.end();) {
    it = it->second->owner == handle ? procedures_.erase(it) : std::next(it);
  }
  if (capture_ == handle) capture_ = 0;
  windows_.erase(handle);
}

bool WindowModel::DestroyWindow(WindowHandle window) {
  Window* w = Find(window);
  if (!w || w->destroying) return false;
  if (w->process != CurrentProcessId()) return false;
  DestroyTree(window);
  return true;
}

bool WindowModel::IsWindow(WindowHandle window) { return Find(window) != nullptr; }

bool WindowModel::GetClientSize(WindowHandle window, int* width, int* height) {
  Window* w = Find(window);
  if (!w) return false;
  *width = w->rect.width;
  *height = w->rect.height;
  return true;
}

bool WindowModel::MoveWindow(WindowHandle window, const WindowRect& rect) {
  Window* w = Find(window);
  if (!w || rect.width < 0 || rect.height < 0) return false;
  bool resized = w->rect.width != rect.width || w->rect.height != rect.height;
  w->rect = rect;
  if (resized) SendWindowMessage(window, kWmSize, 0, SizeLParam(rect.width, rect.height));
  return true;
}

ProcessId WindowModel::WindowProcessId(WindowHandle window) {
  Window* w = Find(window);
  return w ? w->process : 0;
}

ProcessId WindowModel::CurrentProcessId() { return static_cast<ProcessId>(getpid()); }

Win32Error WindowModel::ReplaceProcedure(WindowHandle window, WindowProcedure procedure,
                                         ProcedureToken* installed, ProcedureToken* previous) {
  Window* w = Find(window);
  if (!w) return kErrorInvalidWindowHandle;
  if (w->process != CurrentProcessId()) return kErrorAccessDenied;
  if (w->seam_installed != 0) return kErrorAlreadyExists;
  if (!procedure) return kErrorInvalidParameter;
  ProcedureToken token = AddProcedure(std::move(procedure), window);
  *previous = w->procedure;
  *installed = token;
  w->procedure = token;
  w->seam_installed = token;
  return kErrorSuccess;
}

ProcedureToken WindowModel::CurrentProcedure(WindowHandle window) {
  Window* w = Find(window);
  return w ? w->procedure : 0;
}

Win32Error WindowModel::RestoreProcedure(WindowHandle window, ProcedureToken installed,
                                         ProcedureToken previous) {
  Window* w = Find(window);
  if (!w) return kErrorInvalidWindowHandle;
  if (installed == 0 || w->seam_installed != installed) return kErrorInvalidParameter;
  auto it = procedures_.find(installed);
  if (w->procedure == installed) {
    w->procedure = previous;
    w->seam_installed = 0;
    // A call in progress holds its own reference; the entry goes with it.
    if (it != procedures_.end()) procedures_.erase(it);
  } else if (it != procedures_.end()) {
    it->second->callable = nullptr;
    it->second->pass_through = true;
    it->second->pass_to = previous;
  }
  return kErrorSuccess;
}

WindowResult WindowModel::CallProcedure(ProcedureToken procedure, WindowHandle window,
                                        std::uint32_t message, WindowWParam wparam,
                                        WindowLParam lparam) {
  // Pass-through entries may chain; a chain longer than the table is a loop.
  for (size_t hops = 0; hops <= procedures_.size(); ++hops) {
    if (procedure == 0) return DefaultProcedure(window, message, wparam, lparam);
    auto it = procedures_.find(procedure);
    if (it == procedures_.end()) return 0;
    std::shared_ptr<Procedure> entry = it->second;  // alive for the whole call
    if (!entry->pass_through) {
      WindowProcedure callable = entry->callable;
      return callable ? callable(window, message, wparam, lparam)
                      : DefaultProcedure(window, message, wparam, lparam);
    }
    procedure = entry->pass_to;
  }
  return 0;
}

WindowResult WindowModel::DefaultProcedure(WindowHandle window, std::uint32_t message,
                                           WindowWParam wparam, WindowLParam lparam) {
  return 0;
}

WindowResult WindowModel::SendWindowMessage(WindowHandle window, std::uint32_t message,
                                            WindowWParam wparam, WindowLParam lparam) {
  Window* w = Find(window);
  if (!w) return 0;
  return CallProcedure(w->procedure, window, message, wparam, lparam);
}

void WindowModel::SetCursor(CursorShape shape) {
  cursor_ = shape;
  cursor_changes_.push_back(shape);
}

void WindowModel::SetCapture(WindowHandle window) {
  if (Window* w = Find(window); w && w->process == CurrentProcessId()) capture_ = window;
}

void WindowModel::ReleaseCapture() { capture_ = 0; }

bool WindowModel::ModuleExports(std::string_view module, std::string_view function) {
  auto it = modules_.find(FoldModuleName(module));
  return it != modules_.end() && it->second.count(std::string(function)) > 0;
}

bool WindowModel::TrackMouse(TrackingFunction function, const TrackMouseRequest& request) {
  std::string_view module = function == TrackingFunction::kUser32 ? "User32" : "Comctl32";
  std::string_view name =
      function == TrackingFunction::kUser32 ? "TrackMouseEvent" : "_TrackMouseEvent";
  if (!ModuleExports(module, name)) return false;
  if (request.size != kTrackMouseEventSize) return false;
  Window* w = Find(request.window);
  if (!w || w->process != CurrentProcessId()) return false;
  tracking_calls_.push_back({function, request});
  return true;
}

ProcedureToken WindowModel::SetProcedureDirect(WindowHandle window, WindowProcedure procedure) {
  Window* w = Find(window);
  if (!w || !procedure) return 0;
  ProcedureToken previous = w->procedure;
  w->procedure = AddProcedure(std::move(procedure), window);
  return previous;
}

void WindowModel::AddModule(std::string_view module, std::vector<std::string> exports) {
  auto& table = modules_[FoldModuleName(module)];
  for (auto& name : exports) table.insert(std::move(name));
}

void WindowModel::RemoveModule(std::string_view module) { modules_.erase(FoldModuleName(module)); }

void WindowModel::ClearModules() { modules_.clear(); }

WindowModel& SystemWindowModel() {
  static WindowModel model;
  return model;
}

}  // namespace posix

WindowSystem& SystemWindowSystem() { return posix::SystemWindowModel(); }

}  // namespace vorela

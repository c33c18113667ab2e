// An owning pointer to a COM interface: one reference, released when the
// pointer goes away, so that no return path of a function leaks an object.
//
// Copies add a reference, moves hand it over. put() is the out-parameter of
// the functions that create or return an interface (it releases what the
// pointer held first); Attach takes a reference the caller already owns.
#pragma once

#include <cstddef>
#include <utility>

namespace vorela::win32 {

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}  // NOLINT(google-explicit-constructor): as a null pointer
  ~ComPtr() { Reset(); }

  ComPtr(const ComPtr& other) : ptr_(other.ptr_) {
    if (ptr_) ptr_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }

  // Takes over a reference the caller owns (one it would otherwise Release).
  static ComPtr Attach(T* owned) {
    ComPtr result;
    result.ptr_ = owned;
    return result;
  }
  // Hands the reference to the caller, who releases it.
  [[nodiscard]] T* Detach() { return std::exchange(ptr_, nullptr); }

  void Reset() {
    if (T* old = std::exchange(ptr_, nullptr)) old->Release();
  }
  // For T** out-parameters; void** ones take put_void().
  T** put() {
    Reset();
    return &ptr_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }

  T* get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }

 private:
  T* ptr_ = nullptr;
};

}  // namespace vorela::win32

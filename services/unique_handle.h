// Move-only ownership of an operating-system handle (font, brush, bitmap, item list...).
// Portable: the handle type, its release call and its invalid value are template arguments.
#pragma once

#include <utility>

namespace pelloram {

// The invalid value of most handle types: the value-initialised (null) one.
template <typename Handle>
struct ValueInitialised {
  static constexpr Handle Value() { return Handle{}; }
};

// Close is a default-constructible callable taking the handle. Invalid::Value() is what the
// handle's API returns on failure; such a handle is empty and never closed.
template <typename Handle, typename Close, typename Invalid = ValueInitialised<Handle>>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }

  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Invalid::Value(); }

  Handle release() { return std::exchange(handle_, Invalid::Value()); }
  void reset(Handle handle = Invalid::Value()) {
    const Handle old = std::exchange(handle_, handle);
    if (old != Invalid::Value()) Close{}(old);
  }

 private:
  Handle handle_ = Invalid::Value();
};

}  // namespace pelloram

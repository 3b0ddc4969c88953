#pragma once
// A neighbour built after the part that calls it. The part is handed a
// getter at its construction and reaches the neighbour only when it calls
// it, by which time the whole program is built; nothing is bound to an
// object that is not built yet. Given an object already built, it simply
// refers to it.

#include <cstddef>
#include <functional>
#include <type_traits>
#include <utility>

namespace platform {

template <class T>
class BuiltLater {
 public:
  // None: a part that is optional, such as a window a test leaves out.
  BuiltLater() = default;
  BuiltLater(std::nullptr_t) {}  // NOLINT(google-explicit-constructor)
  // An object already built, or none for null.
  BuiltLater(T* built) {  // NOLINT(google-explicit-constructor)
    if (built != nullptr) get_ = [built]() -> T& { return *built; };
  }
  // An object already built.
  BuiltLater(T& built) : get_([&built]() -> T& { return built; }) {}  // NOLINT(google-explicit-constructor)
  // An object reached through its owner once it is built.
  explicit BuiltLater(std::function<T&()> get) : get_(std::move(get)) {}
  // The same neighbour seen as one of its bases.
  template <class U>
  requires std::is_base_of_v<T, U> BuiltLater(const BuiltLater<U>& other) {  // NOLINT(google-explicit-constructor)
    if (other) get_ = [other]() -> T& { return *other; };
  }

  explicit operator bool() const { return static_cast<bool>(get_); }

  T& operator*() const { return get_(); }
  T* operator->() const { return &get_(); }

 private:
  std::function<T&()> get_;
};

// A getter of a part built after the one it is handed to: the part is only
// named here, and seen as a T when called.
template <class T, class Part>
BuiltLater<T> Later(Part& part) {
  return BuiltLater<T>([&part]() -> T& { return part; });
}

}  // namespace platform

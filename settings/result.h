// Result<T, E>: a value, or the reason there is none, in the manner of std::expected (which this
// compiler's C++20 library does not have). The one way a core operation reports a failure with a
// message: `E` is the message text unless a caller needs more (a caption, a kind), and no
// exception crosses a layer in its place.
//
//   Result<int> Parse(...);                 return 7;   or   return Fail("not a number");
//   Result<void> Write(...);                return {};  or   return Fail(error);
//   if (auto r = Parse(...)) use(*r); else report(r.error());
#pragma once

#include <cassert>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace glyphmill {

// The failure side of a Result, as std::unexpected is the one of std::expected.
template <class E>
struct Failure {
  E error;
};

template <class E>
Failure<std::decay_t<E>> Fail(E&& error) {
  return Failure<std::decay_t<E>>{std::forward<E>(error)};
}
inline Failure<std::string> Fail(const char* error) { return Failure<std::string>{error}; }

template <class T, class E = std::string>
class [[nodiscard]] Result {
 public:
  using value_type = T;
  using error_type = E;

  Result() requires std::is_default_constructible_v<T> : state_(std::in_place_index<0>) {}
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit like expected
  template <class G>
  Result(Failure<G> failure) : state_(std::in_place_index<1>, std::move(failure.error)) {}  // NOLINT

  bool has_value() const { return state_.index() == 0; }
  explicit operator bool() const { return has_value(); }

  T& value() & {
    assert(has_value());
    return std::get<0>(state_);
  }
  const T& value() const& {
    assert(has_value());
    return std::get<0>(state_);
  }
  T&& value() && {
    assert(has_value());
    return std::get<0>(std::move(state_));
  }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T&& operator*() && { return std::move(*this).value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  const E& error() const& {
    assert(!has_value());
    return std::get<1>(state_);
  }
  E&& error() && {
    assert(!has_value());
    return std::get<1>(std::move(state_));
  }

 private:
  std::variant<T, E> state_;
};

// Success without a value, or the reason of the failure.
template <class E>
class [[nodiscard]] Result<void, E> {
 public:
  using value_type = void;
  using error_type = E;

  Result() = default;
  template <class G>
  Result(Failure<G> failure) : error_(std::move(failure.error)), failed_(true) {}  // NOLINT

  bool has_value() const { return !failed_; }
  explicit operator bool() const { return has_value(); }

  const E& error() const& {
    assert(failed_);
    return error_;
  }
  E&& error() && {
    assert(failed_);
    return std::move(error_);
  }

 private:
  E error_{};
  bool failed_ = false;
};

}  // namespace glyphmill

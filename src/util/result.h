#pragma once

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

namespace tessevar {

// Why something could not be done, in words the operator can act on.
struct Failure {
  std::string reason;
};

// What the system said about the last call that failed: "WHAT (strerror)".
inline Failure systemFailure(std::string what, int error = errno) {
  return {std::move(what) + " (" + std::strerror(error) + ")"};
}

// The one way our fallible calls report: the value, or the Failure that
// stopped it. Callers test it like a pointer and print reason() when they
// have someone to tell. Exceptions are left to what the system refuses
// start-up itself (threads, descriptors), which main reports in one line.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}
  Result(Failure failure) : failure_(std::move(failure)) {}

  explicit operator bool() const { return value_.has_value(); }
  T& operator*() & { return *value_; }
  const T& operator*() const& { return *value_; }
  T&& operator*() && { return std::move(*value_); }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  T value_or(T fallback) const& { return value_ ? *value_ : std::move(fallback); }
  const std::string& reason() const { return failure_.reason; }
  // Holds exactly this value.
  friend bool operator==(const Result& result, const T& value) { return result && *result == value; }

 private:
  std::optional<T> value_;
  Failure failure_;
};

// Done, or the Failure that stopped it.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : failed_(true), failure_(std::move(failure)) {}

  explicit operator bool() const { return !failed_; }
  const std::string& reason() const { return failure_.reason; }

 private:
  bool failed_ = false;
  Failure failure_;
};

}  // namespace tessevar

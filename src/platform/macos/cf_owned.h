#pragma once

#include <CoreGraphics/CoreGraphics.h>  // brings CFRelease

namespace tessevar::macos {

// Releases a Core Foundation object at the end of a scope.
template <typename T>
class CfOwned {
 public:
  explicit CfOwned(T ref) : ref_(ref) {}
  ~CfOwned() {
    if (ref_ != nullptr) CFRelease(ref_);
  }
  CfOwned(const CfOwned&) = delete;
  CfOwned& operator=(const CfOwned&) = delete;
  T get() const { return ref_; }

 private:
  T ref_;
};

}  // namespace tessevar::macos

#pragma once

// Console lines captured from any thread.

#include <chrono>
#include <functional>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

#include "support/eventually.h"
#include "util/line_output.h"

namespace tessevar::testing {

// Console lines captured from any thread.
class CapturedLines {
 public:
  CapturedLines() : stream_(&buffer_), output(stream_) {}

  std::vector<std::string> lines() const { return buffer_.lines(); }
  // The stream under `output`, for writers that make their own LineOutput.
  std::ostream& stream() { return stream_; }

 private:
  class LockedBuffer : public std::streambuf {
   public:
    std::vector<std::string> lines() const {
      std::lock_guard lock(mutex_);
      std::vector<std::string> result;
      std::size_t start = 0;
      for (std::size_t end; (end = text_.find('\n', start)) != std::string::npos; start = end + 1) {
        result.push_back(text_.substr(start, end - start));
      }
      return result;
    }

   protected:
    int_type overflow(int_type c) override {
      if (c != traits_type::eof()) {
        std::lock_guard lock(mutex_);
        text_.push_back(static_cast<char>(c));
      }
      return c;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
      std::lock_guard lock(mutex_);
      text_.append(text, static_cast<std::size_t>(count));
      return count;
    }

   private:
    mutable std::mutex mutex_;
    std::string text_;
  };

  LockedBuffer buffer_;
  std::ostream stream_;

 public:
  LineOutput output;
};

}  // namespace tessevar::testing

#include "util/line_output.h"

#include <string>

namespace tessevar {

void LineOutput::line(std::string_view text) { lines({text}); }

void LineOutput::lines(std::initializer_list<std::string_view> texts) {
  std::string block;
  for (std::string_view text : texts) {
    block.append(text);
    block.push_back('\n');
  }
  std::lock_guard lock(mutex_);
  out_.write(block.data(), static_cast<std::streamsize>(block.size()));
  out_.flush();
}

}  // namespace tessevar

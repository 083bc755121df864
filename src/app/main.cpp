#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string_view>
#include <vector>

#include "app/options.h"
#include "app/startup.h"

namespace {

// The system may refuse what start-up needs (descriptors, threads): say so in
// one line and end, rather than abort with a trace.
int run(const tessevar::Options& options) {
  try {
    return tessevar::runTessevar(options, std::cin, std::cout, std::cerr);
  } catch (const std::exception& error) {
    std::cerr << "tessevar: cannot go on: " << error.what() << std::endl;
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  const tessevar::Options options = tessevar::parseOptions(arguments);
  if (options.action != tessevar::Options::Action::run) {
    return tessevar::answerOptions(options, std::cout, std::cerr);
  }
  const int status = run(options);
  // The console thread may still be blocked reading standard input; the
  // program state lives until the process ends, so leave without running
  // destructors under its feet. Only the output streams are flushed: that
  // reader holds standard input's lock, and flushing every stream would wait
  // for it for ever.
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(status);
}

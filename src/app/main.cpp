#include <exception>
#include <iostream>
#include <string_view>
#include <vector>

#include "app/options.h"
#include "app/process_guards.h"
#include "app/startup.h"

int main(int argc, char** argv) {
  tessevar::prepareStandardOutput();
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  const tessevar::Options options = tessevar::parseOptions(arguments);
  if (options.action != tessevar::Options::Action::run) {
    return tessevar::answerOptions(options, std::cout, std::cerr);
  }
  // The system may refuse what start-up needs (descriptors, threads): say so
  // in one line and end, rather than abort with a trace.
  try {
    return tessevar::runTessevar(options, std::cout, std::cerr);
  } catch (const std::exception& error) {
    std::cerr << "tessevar: cannot go on: " << error.what() << std::endl;
    return 1;
  }
}

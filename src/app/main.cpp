#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "app/startup.h"

int main() {
  const int status = tessevar::runTessevar(std::cin, std::cout);
  // The console thread may still be blocked reading standard input; the
  // program state lives until the process ends, so leave without running
  // destructors under its feet.
  std::fflush(nullptr);
  std::_Exit(status);
}

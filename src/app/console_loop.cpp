#include "app/console_loop.h"

namespace tessevar {
namespace {

void printRestartNotice(LineOutput& output) {
  output.lines({" ", "+---------------------------------------------------------+",
                "|Please restart the program for the changes to take effect|",
                "+---------------------------------------------------------+", "",
                "Exiting the program...", ""});
}

}  // namespace

void printBanner(LineOutput& output) {
  output.lines({"now listening...", " ", " ",
                "+---------------------------------------------------+",
                "|Press q + enter to quit or s + enter to enter setup|",
                "+---------------------------------------------------+"});
}

void consoleLoop(std::istream& input, LineOutput& output, StopSignal& stop, const std::function<void()>& runSetup) {
  while (!stop.raised()) {
    const int c = input.get();
    if (c == std::istream::traits_type::eof()) return;  // nothing more can arrive
    if (c == 'q' || c == 'Q') {
      output.line("Exiting the program...");
      stop.raise();
    }
    if (c == 's' || c == 'S') {
      input.get();  // the line end after the letter
      runSetup();
      // Stopped meanwhile (a signal): the program says goodbye itself.
      if (stop.raised()) return;
      printRestartNotice(output);
      stop.raise();
    }
  }
}

}  // namespace tessevar

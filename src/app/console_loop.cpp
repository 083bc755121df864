#include "app/console_loop.h"

namespace tessevar {
namespace {

void printBanner(LineOutput& output) {
  output.lines({"now listening...", " ", " ",
                "+---------------------------------------------------+",
                "|Press q + enter to quit or s + enter to enter setup|",
                "+---------------------------------------------------+"});
}

void printRestartNotice(LineOutput& output) {
  output.lines({" ", "+---------------------------------------------------------+",
                "|Please restart the program for the changes to take effect|",
                "+---------------------------------------------------------+", "",
                "Exiting the program...", ""});
}

}  // namespace

void consoleLoop(std::istream& input, LineOutput& output, const std::atomic<bool>& quitRequested,
                 const ConsoleActions& actions) {
  printBanner(output);
  while (!quitRequested) {
    const int c = input.get();
    if (c == std::istream::traits_type::eof()) return;  // nothing more can arrive
    if (c == 'q' || c == 'Q') {
      output.line("Exiting the program...");
      actions.requestQuit();
    }
    if (c == 's' || c == 'S') {
      input.get();  // the line end after the letter
      actions.runSetup();
      printRestartNotice(output);
      actions.requestQuit();
    }
  }
}

}  // namespace tessevar

#include "app/options.h"

namespace tessevar {
namespace {

constexpr std::string_view usage = "usage: tessevar [--setup] [--verbose] | -h | --help | -V | --version";

constexpr std::string_view help =
    "\n"
    "Relays the UDP MIDI traffic between a Behringer X-Touch and a mixer\n"
    "(port 10111) and keeps the mixer's editor showing the surface's channel,\n"
    "page and view.\n"
    "\n"
    "  --setup        ask for the interface and the two addresses (listing the\n"
    "                 interfaces and the devices it finds), save them, exit\n"
    "  --verbose      also print progress lines on standard error, time-stamped\n"
    "                 (with syslog priorities instead when it is the journal)\n"
    "  -h, --help     print this text and exit\n"
    "  -V, --version  print the version and exit\n"
    "\n"
    "The settings are in Tessevar.cfg in your Documents folder. While it runs,\n"
    "type q and enter to quit, or s and enter to change the settings.\n"
    "See tessevar(1).\n";

}  // namespace

Options parseOptions(std::span<const std::string_view> arguments) {
  Options options;
  bool help = false;
  bool version = false;
  for (const std::string_view argument : arguments) {
    if (argument == "--help" || argument == "-h") {
      help = true;
    } else if (argument == "--version" || argument == "-V") {
      version = true;
    } else if (argument == "--setup") {
      options.setup = true;
    } else if (argument == "--verbose") {
      options.verbose = true;
    } else {
      options.action = Options::Action::usageError;
      options.offending = argument;
      return options;
    }
  }
  if (help) {
    options.action = Options::Action::help;
  } else if (version) {
    options.action = Options::Action::version;
  }
  return options;
}

int answerOptions(const Options& options, std::ostream& out, std::ostream& err) {
  switch (options.action) {
    case Options::Action::help:
      out << usage << '\n' << help << std::flush;
      return 0;
    case Options::Action::version:
      out << "tessevar " << TESSEVAR_VERSION << std::endl;
      return 0;
    case Options::Action::usageError:
    case Options::Action::run:
      break;
  }
  err << "tessevar: unknown option '" << options.offending << "'; " << usage << std::endl;
  return 2;
}

}  // namespace tessevar

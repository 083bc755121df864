#include "config/configuration.h"
#include "config/documents_folder.h"
#include "config/port_discovery.h"

namespace tessevar {

ConfigServices platformConfigServices(std::istream& input, LineOutput& output) {
  return ConfigServices{input, output, [] { return documentsFolder(); },
                        [](PortNames& ports) { return discoverPortNames(ports); }};
}

}  // namespace tessevar

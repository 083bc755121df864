#include "config/answer_input.h"
#include "config/configuration.h"
#include "config/documents_folder.h"
#include "config/port_discovery.h"

namespace tessevar {

ConfigServices platformConfigServices(std::istream& input, LineOutput& output) {
  const DiscoveryWaits waits;
  return ConfigServices{
      .input = input,
      .output = output,
      .documentsFolder = [] { return documentsFolder(); },
      .discoverPortNames = [](PortNames& ports) { return discoverPortNames(ports); },
      .answersMayCome = [&input] { return answersMayCome(input); },
      .network = SetupNetwork{
          .interfaces = listNetworkInterfaces,
          .classifyHost = classifyHost,
          .findMixers = [waits](const NetworkInterface& chosen) { return findMixers(chosen, waits); },
          .hearSurfaces = [waits](const NetworkInterface& chosen, const std::function<void()>& listening) {
            return hearSurfaces(chosen, waits, listening);
          }}};
}

}  // namespace tessevar

#include "app/automation.h"

namespace tessevar {

struct Automation::State {};

Automation::Automation(Desktop&, RelayState&) : state_(std::make_unique<State>()) {}
Automation::~Automation() = default;
void Automation::prepareEditor() {}
void Automation::setEditorPid(std::int64_t) {}
void Automation::inspectSurfaceDatagram(const Datagram&) {}
void Automation::inspectMixerDatagram(const Datagram&) {}

}  // namespace tessevar

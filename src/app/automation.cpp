#include "app/automation.h"

#include "editor/editor.h"
#include "surface/inspectors.h"
#include "surface/mapping_state.h"
#include "surface/surface_context.h"

namespace tessevar {

struct Automation::State {
  State(Desktop& desktop, RelayState& relay)
      : editor(desktop),
        context{mapping, editor,
                [&relay](std::span<const std::uint8_t> bytes) { sendToXTouch(relay, bytes); }} {}

  Editor editor;
  MappingState mapping;
  SurfaceContext context;
};

Automation::Automation(Desktop& desktop, RelayState& relay)
    : state_(std::make_unique<State>(desktop, relay)) {}

Automation::~Automation() = default;

void Automation::prepareEditor() { loadEditor(state_->editor); }

void Automation::setEditorPid(std::int64_t pid) { state_->editor.state.editorPid = pid; }

void Automation::inspectSurfaceDatagram(const Datagram& datagram) {
  handleSurfaceDatagram(state_->context, datagram);
}

void Automation::inspectMixerDatagram(const Datagram& datagram) {
  handleMixerDatagram(state_->context, datagram);
}

}  // namespace tessevar

#include "app/automation.h"

#include "surface/inspectors.h"
#include "surface/mapping_state.h"
#include "surface/surface_context.h"

namespace tessevar {

struct Automation::State {
  State(DesktopFactory openDesktop, LineOutput& output, RelayState& relay, ProgressLog progress)
      : thread(std::move(openDesktop), output, {.progress = std::move(progress)}),
        context{mapping, thread,
                [&relay](std::span<const std::uint8_t> bytes) { sendToXTouch(relay, bytes); }} {}

  AutomationThread thread;
  MappingState mapping;
  SurfaceContext context;
};

Automation::Automation(DesktopFactory openDesktop, LineOutput& output, RelayState& relay, ProgressLog progress)
    : state_(std::make_unique<State>(std::move(openDesktop), output, relay, std::move(progress))) {}

Automation::~Automation() = default;

std::optional<std::string> Automation::start() { return state_->thread.start(); }

void Automation::prepareEditor() { state_->thread.refreshEditorWindow(); }

void Automation::setEditorPid(std::int64_t pid) { state_->thread.setEditorPid(pid); }

void Automation::stop(std::chrono::milliseconds patience) { state_->thread.stop(patience); }

void Automation::inspectSurfaceDatagram(const Datagram& datagram) {
  handleSurfaceDatagram(state_->context, datagram);
}

void Automation::inspectMixerDatagram(const Datagram& datagram) {
  handleMixerDatagram(state_->context, datagram);
}

}  // namespace tessevar

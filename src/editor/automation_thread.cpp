#include "editor/automation_thread.h"

#include <array>
#include <cmath>

#include "editor/editor_points.h"
#include "util/utf8.h"

namespace tessevar {

namespace {

// The thread looks at the desktop at least this often, so a lost one is
// brought back even when nothing else happens.
constexpr std::chrono::milliseconds idleWake{1000};

// A desktop that could not be opened is tried again at most this often: the
// display may come later (a session that sets it up after Tessevar starts).
constexpr std::chrono::seconds reopenInterval{1};

std::string droppedLine(std::size_t count) {
  return "editor automation fell behind: " + std::to_string(count) +
         (count == 1 ? " editor action dropped" : " editor actions dropped");
}

}  // namespace

AutomationThread::AutomationThread(DesktopFactory openDesktop, LineOutput& output, Options options)
    : openDesktop_(std::move(openDesktop)),
      output_(output),
      options_(std::move(options)),
      queue_(options_.limits),
      endedSignal_(ended_.get_future().share()) {}

AutomationThread::~AutomationThread() {
  if (thread_.joinable()) {
    requestStop();
    thread_.join();
  }
}

Result<void> AutomationThread::start() {
  std::promise<Result<void>> opened;
  std::future<Result<void>> problem = opened.get_future();
  thread_ = std::thread([this, opened = std::move(opened)]() mutable { run(std::move(opened)); });
  return problem.get();
}

void AutomationThread::requestStop() {
  stopping_ = true;
  wakeUp_.raise();
}

bool AutomationThread::stop(std::chrono::milliseconds patience) {
  if (!thread_.joinable()) return true;
  requestStop();
  if (endedSignal_.wait_for(patience) != std::future_status::ready) return false;
  thread_.join();
  return true;
}

bool AutomationThread::refreshEditorWindow() {
  if (!editorWindowExists_) return false;
  queue({.kind = EditorCommand::Kind::activate});
  return true;
}

void AutomationThread::clickEntry(std::size_t index) {
  queue({.kind = EditorCommand::Kind::click, .entry = index});
}

void AutomationThread::pressKey(Key key) { queue({.kind = EditorCommand::Kind::key, .key = key}); }

void AutomationThread::setEditorPid(std::int64_t pid) {
  queue({.kind = EditorCommand::Kind::setEditorPid, .pid = pid});
}

void AutomationThread::queue(const EditorCommand& command) {
  if (queue_.push(command, options_.now())) wakeUp_.raise();
}

void AutomationThread::open(std::promise<Result<void>>& opened) {
  Result<std::unique_ptr<Desktop>> desktop = openDesktop_ ? openDesktop_() : Failure{};
  Result<void> failure;
  if (desktop) {
    useDesktop(std::move(*desktop));
  } else {
    failure = Failure{desktop.reason()};
    useDesktop(makeNullDesktop());
    if (openDesktop_) nextOpen_ = options_.now() + reopenInterval;
  }
  editorWindowSeen(editor_->findEditorWindow());
  opened.set_value(failure);
}

void AutomationThread::run(std::promise<Result<void>> opened) {
  open(opened);
  while (!stopping_) {
    openAgain();
    followDesktop();
    if (std::optional<EditorCommand> command = queue_.take(options_.now())) {
      carryOut(*command);
      reportDrops();
      continue;
    }
    reportDrops();
    if (queue_.prepareToWait()) waitForWork();
  }
  ended_.set_value();
}

// The editor for the desktop, made anew, knowing what the one before knew.
void AutomationThread::useDesktop(std::unique_ptr<Desktop> desktop) {
  auto editor = std::make_unique<Editor>(*desktop, options_.pause, options_.processLookup);
  editor->progress = options_.progress;
  if (editor_) {
    editor->state = editor_->state;
  } else {
    fillEditorPoints(editor->state.editorPoints);
  }
  editor_ = std::move(editor);  // the old editor goes before the desktop it uses
  desktop_ = std::move(desktop);
}

void AutomationThread::openAgain() {
  if (!nextOpen_ || options_.now() < *nextOpen_) return;
  Result<std::unique_ptr<Desktop>> desktop = openDesktop_();
  if (!desktop) {
    nextOpen_ = options_.now() + reopenInterval;
    return;
  }
  nextOpen_.reset();
  useDesktop(std::move(*desktop));
  output_.line("editor automation is on: " + escapeControls(desktop_->name()));
  editorWindowSeen(editor_->findEditorWindow());
}

void AutomationThread::carryOut(const EditorCommand& command) {
  switch (command.kind) {
    case EditorCommand::Kind::activate: editor_->refreshEditorWindow(); break;
    case EditorCommand::Kind::click: editor_->clickEntry(command.entry); break;
    case EditorCommand::Kind::key: editor_->pressKey(command.key); return;
    case EditorCommand::Kind::setEditorPid: editor_->setEditorPid(command.pid); return;
  }
  editorWindowSeen(editor_->state.editorWindowFound);
}

// A window that appeared or went away counts for the next datagram. The
// lookup may itself read news off the connection that the wait would then
// not see, so the news is taken until there is none (a few rounds at most).
void AutomationThread::followDesktop() {
  for (int round = 0; round < 3 && desktop_->takeNotifications(); ++round) {
    queue_.desktopChanged();
    editorWindowSeen(editor_->findEditorWindow());
  }
}

void AutomationThread::editorWindowSeen(bool found) {
  if (editorWindowExists_.exchange(found) == found || !options_.progress.enabled()) return;
  if (!found) {
    options_.progress.note("editor window lost");
    return;
  }
  const EditorState& s = editor_->state;
  const Rect& r = s.editorWindowBounds;
  options_.progress.note("editor window found: " + s.editorName + " at " + std::to_string(std::lround(r.x)) + "," +
                         std::to_string(std::lround(r.y)) + " size " + std::to_string(std::lround(r.width)) + "x" +
                         std::to_string(std::lround(r.height)));
}

void AutomationThread::reportDrops() {
  if (std::optional<std::size_t> dropped = queue_.dropReport(options_.now())) {
    output_.line(droppedLine(*dropped));
  }
}

void AutomationThread::waitForWork() {
  // A desktop without news gives -1, which the wait passes over.
  std::array<Readable, 2> handles{Readable{wakeUp_.handle()}, Readable{desktop_->notificationDescriptor()}};
  if (waitReadable(handles, idleWake) && handles[0].ready) wakeUp_.drain();
}

}  // namespace tessevar

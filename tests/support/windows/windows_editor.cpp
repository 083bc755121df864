#include "support/windows/windows_editor.h"

#include <filesystem>

namespace tessevar::testing {
namespace {

// The test editor is built beside the test programs.
std::filesystem::path builtEditor() {
  std::wstring self(32768, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  return std::filesystem::path(self).parent_path() / "X-AIR-Edit.exe";
}

std::wstring quoted(const std::wstring& argument) { return L"\"" + argument + L"\""; }

}  // namespace

WindowsEditor::WindowsEditor(const std::vector<std::string>& args, const std::string& name)
    : log_(folder_.path() / "events.log") {
  std::filesystem::path program = builtEditor();
  if (name != "X-AIR-Edit") {
    const std::filesystem::path copy = folder_.path() / (name + ".exe");
    std::filesystem::copy_file(program, copy);
    program = copy;
  }
  std::wstring commandLine = quoted(program.wstring()) + L" --log " + quoted(log_.path().wstring());
  for (const std::string& arg : args) commandLine += L" " + quoted(std::wstring(arg.begin(), arg.end()));  // ASCII
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(program.wstring().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process_)) {
    return;
  }
  const std::string ready =
      log_.waitForLine("ready ", [&] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; });
  if (!ready.empty()) window_ = reinterpret_cast<HWND>(static_cast<std::intptr_t>(std::stoll(ready.substr(6))));
}

WindowsEditor::~WindowsEditor() {
  if (process_.hProcess == nullptr) return;
  TerminateProcess(process_.hProcess, 0);
  WaitForSingleObject(process_.hProcess, INFINITE);
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

POINT WindowsEditor::screenPoint(POINT client) const {
  ClientToScreen(window_, &client);
  return client;
}

}  // namespace tessevar::testing

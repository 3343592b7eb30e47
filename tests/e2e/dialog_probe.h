// Starting farthom.exe as a real process and seeing its dialog from outside, as a user would.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/windows/windows_header.h"

namespace farthom {

// What the message box of a process shows.
struct DialogSeen {
  std::u16string title;
  std::u16string text;     // the static control with ID 0xFFFF
  std::set<int> buttons;   // IDs of the visible buttons: {IDYES, IDNO} or {IDOK}
  bool iconShown = false;  // a visible icon control holding an icon
};

// A started program and what was learnt about it.
struct ProgramRun {
  PROCESS_INFORMATION process = {};
  bool started = false;
  HWND dialog = nullptr;
};

// Starts `commandLine` exactly as given (the program path is its first token) in `directory`
// ("" keeps the caller's). `debugChannels` ("" for none) becomes the child's WINEDEBUG, which
// Wine reads at the start of a process and other systems ignore.
ProgramRun StartProgram(const std::u16string& commandLine, const std::u16string& directory,
                        const std::u16string& debugChannels);

// Waits until the process shows a dialog (window class #32770) or ends; false on neither
// within `timeoutMs` (INFINITE: as long as the process runs).
bool WaitForDialog(ProgramRun& run, DWORD timeoutMs);

DialogSeen ReadDialog(HWND dialog);

// Presses the button with `buttonId` (IDYES, IDNO or IDOK) as a click would.
bool AnswerDialog(HWND dialog, int buttonId);

// Waits for the process to end and gives its exit code; -1 when it did not end in time.
int64_t WaitForExit(ProgramRun& run, DWORD timeoutMs);

// A process that the program started.
struct ChildSeen {
  DWORD processId;
  std::u16string executable;  // its file name, without a path
};

// The processes that `run` started and that still exist. A process just started may be listed
// before the name of its executable is known; its name is empty then.
std::vector<ChildSeen> ChildrenOf(const ProgramRun& run);

// Ends a process by force and waits for it to go.
void EndProcess(DWORD processId);

void CloseRun(ProgramRun& run);

// A raw command-line token for `text`: quoted when it holds a blank, else as it is.
std::u16string CommandLineToken(const std::u16string& text);

std::u16string FromWide(const wchar_t* text);

}  // namespace farthom

// Starting a Windows program with an exact raw command line and seeing its dialog from outside,
// as a user would: for the end-to-end tests, the benchmark, the parameter-reader tests and the
// dialog reader.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/windows/windows_header.h"

namespace farthom {

// True under Wine, whose ntdll exports its version; false on Windows.
bool RunningOnWine();

// How to start a program.
struct ProgramStart {
  std::u16string commandLine;       // handed to the program exactly as it stands
  std::u16string program;           // the file to run; "" takes it from the line's first token
  std::u16string directory;         // the working directory; "" keeps the caller's
  std::u16string debugChannels;     // the child's WINEDEBUG ("" for the caller's); Wine reads it
                                    // as a process starts, other systems ignore it
  HANDLE standardOutput = nullptr;  // inherited as the child's standard output when set
  bool childrenWatched = false;     // started in a job that names every process it starts
};

// A started program and what was learnt about it.
struct ProgramRun {
  PROCESS_INFORMATION process = {};
  bool started = false;
  HWND dialog = nullptr;
  HANDLE job = nullptr;  // with childrenWatched: the job, and the port it reports to
  HANDLE jobPort = nullptr;
};

ProgramRun StartProgram(const ProgramStart& start);

// Waits until the process shows a dialog (window class #32770) or ends; false on neither within
// `timeoutMs` (INFINITE: as long as the process runs). It first waits for the process to be idle,
// which is a wait, not a poll, so that a timed run is not slowed by the watcher.
bool WaitForDialog(ProgramRun& run, DWORD timeoutMs);

// What a message box shows.
struct DialogSeen {
  std::u16string title;
  std::u16string text;     // the static control with ID 0xFFFF
  std::set<int> buttons;   // IDs of the visible buttons: {IDYES, IDNO} or {IDOK}
  bool iconShown = false;  // a visible icon control holding an icon
};

DialogSeen ReadDialog(HWND dialog);

// Presses the button with `buttonId` (IDYES, IDNO or IDOK) as a click would.
bool AnswerDialog(HWND dialog, int buttonId);

// Waits for the process to end and gives its exit code; -1 when it did not end in time.
int64_t WaitForExit(ProgramRun& run, DWORD timeoutMs);

// A process that the program, or a process it started, started. Its image path and command line
// are read across 32 and 64 bits (the command line on Windows 8.1 and later; Wine 8 here gives
// none).
struct ChildSeen {
  DWORD processId;
  DWORD parentId;              // the process that started it; 0 when it cannot be read
  std::u16string executable;   // its file name, without a path; "" while it cannot be read
  std::u16string image;        // the full path of its executable; "" while it cannot be read
  std::u16string commandLine;  // as it was started with; "" while it cannot be read
};

// The processes started in a run with childrenWatched since the last call, waiting up to
// `timeoutMs` for the first. The job names each process as it is created, so none is missed
// however short its life, and each is opened at once to be read.
std::vector<ChildSeen> NewChildren(ProgramRun& run, DWORD timeoutMs);

// Ends the program if it still runs, and with childrenWatched everything in its job, and closes
// their handles.
void CloseRun(ProgramRun& run);

// The full path of `name` in the folder of the program that calls this; "" when that folder
// cannot be read whole.
std::u16string BesideThisProgram(const std::u16string& name);

// A raw command-line token for `text`: quoted when it holds a blank, else as it is.
std::u16string CommandLineToken(const std::u16string& text);

}  // namespace farthom

// Starting a program as a real process and seeing its dialog from outside, as a user would.
#include "tools/support/program_run.h"

#include <winternl.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/windows/system_function.h"
#include "platform/windows/wide_text.h"

namespace farthom {

namespace {

std::u16string ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return FromWide(name);
}

// WM_GETTEXT crosses into the other process; a time limit keeps a hung dialog from hanging us.
std::u16string TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
    return u"<no answer>";
  }
  std::vector<wchar_t> buffer(length + 1);
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                      SMTO_ABORTIFHUNG, 5000, &copied);
  return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), copied);
}

struct DialogSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM searchAddress) {
  auto* search = reinterpret_cast<DialogSearch*>(searchAddress);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window) && ClassOf(window) == u"#32770") {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK NoteChild(HWND child, LPARAM seenAddress) {
  auto* seen = reinterpret_cast<DialogSeen*>(seenAddress);
  if (!IsWindowVisible(child)) return TRUE;
  const std::u16string kind = ClassOf(child);
  const LONG style = GetWindowLongW(child, GWL_STYLE);
  if (kind == u"Button") {
    seen->buttons.insert(GetDlgCtrlID(child));
  } else if (kind == u"Static" && (style & SS_TYPEMASK) == SS_ICON) {
    DWORD_PTR icon = 0;
    SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon);
    if (icon != 0) seen->iconShown = true;
  }
  return TRUE;
}

// The full path of a process's executable, or "" when it cannot be read.
std::u16string ImageOf(HANDLE process) {
  wchar_t path[MAX_PATH * 4];
  DWORD length = MAX_PATH * 4;
  if (!QueryFullProcessImageNameW(process, 0, path, &length)) return u"";
  return std::u16string(reinterpret_cast<const char16_t*>(path), length);
}

using QueryCall = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);

// The command line a process was started with, or "" when it cannot be read. The system hands
// it over as a counted text in the caller's own layout, whatever the other process's bitness,
// pointing into the buffer it filled; a text that does not lie inside that buffer is not read.
std::u16string CommandLineOf(HANDLE process, QueryCall query) {
  constexpr ULONG kProcessCommandLineInformation = 60;
  struct CountedText {
    USHORT length;  // in bytes
    USHORT room;
    const wchar_t* text;
  };
  std::vector<unsigned char> buffer(sizeof(CountedText) + 65536);
  if (query == nullptr || query(process, kProcessCommandLineInformation, buffer.data(),
                                static_cast<ULONG>(buffer.size()), nullptr) < 0) {
    return u"";
  }
  CountedText counted;
  std::memcpy(&counted, buffer.data(), sizeof(counted));
  const uintptr_t start = reinterpret_cast<uintptr_t>(buffer.data()) + sizeof(counted);
  const uintptr_t end = reinterpret_cast<uintptr_t>(buffer.data()) + buffer.size();
  const uintptr_t text = reinterpret_cast<uintptr_t>(counted.text);
  if (counted.length % 2 != 0 || text < start || text > end || counted.length > end - text) {
    return u"";
  }
  return std::u16string(reinterpret_cast<const char16_t*>(counted.text), counted.length / 2);
}

// The process that started `process`, from its basic information; 0 when it cannot be read.
DWORD ParentOf(HANDLE process, QueryCall query) {
  PROCESS_BASIC_INFORMATION basic = {};
  if (query == nullptr ||
      query(process, 0 /* ProcessBasicInformation */, &basic, sizeof(basic), nullptr) < 0) {
    return 0;
  }
  return static_cast<DWORD>(basic.InheritedFromUniqueProcessId);
}

// Whether `process` has ended, waiting up to `waitMs` for it to. Wine 8 signals a process that
// has no running thread, so one whose first thread has not started yet looks ended there: only
// its exit code tells the two apart, at the cost of taking a process that ends with the code
// STILL_ACTIVE stands for as running. Windows signals a process only once it has ended.
bool HasEnded(HANDLE process, DWORD waitMs) {
  if (WaitForSingleObject(process, waitMs) == WAIT_TIMEOUT) return false;
  DWORD code = 0;
  if (!RunningOnWine() || !GetExitCodeProcess(process, &code) || code != STILL_ACTIVE) return true;
  Sleep(waitMs);
  return false;
}

ChildSeen SeeChild(DWORD processId) {
  ChildSeen child{processId, 0, u"", u"", u""};
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId);
  if (process == nullptr) return child;
  const auto query = SystemFunction<QueryCall>(L"ntdll.dll", "NtQueryInformationProcess");
  // A process is reported as it is created, before it has started: Windows may not have put its
  // parameters in place yet, and Wine knows its image only once it has started, which can take
  // seconds. It is read again, for up to 5 s, as long as it runs. Wine 8 does not tell another
  // process's command line.
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 5000) {
    child.parentId = ParentOf(process, query);
    child.image = ImageOf(process);
    child.commandLine = CommandLineOf(process, query);
    const bool whole = !child.image.empty() && (!child.commandLine.empty() || RunningOnWine());
    if (whole || HasEnded(process, 10)) break;
  }
  child.executable = child.image.substr(child.image.rfind(u'\\') + 1);
  CloseHandle(process);
  return child;
}

}  // namespace

bool RunningOnWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::u16string BesideThisProgram(const std::u16string& name) {
  wchar_t program[MAX_PATH + 1];
  const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return u"";
  const std::u16string path(reinterpret_cast<const char16_t*>(program), length);
  return path.substr(0, path.rfind(u'\\') + 1) + name;
}

std::u16string CommandLineToken(const std::u16string& text) {
  return text.find(u' ') == std::u16string::npos ? text : u"\"" + text + u"\"";
}

namespace {

// A job that reports every process joining it to a port of its own; false when the system
// gives none.
bool MakeWatchedJob(ProgramRun& run) {
  run.job = CreateJobObjectW(nullptr, nullptr);
  run.jobPort = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
  JOBOBJECT_ASSOCIATE_COMPLETION_PORT association = {run.job, run.jobPort};
  // Whatever is still in the job goes with it, also when the caller itself is ended.
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  return run.job != nullptr && run.jobPort != nullptr &&
         SetInformationJobObject(run.job, JobObjectAssociateCompletionPortInformation, &association,
                                 sizeof(association)) &&
         SetInformationJobObject(run.job, JobObjectExtendedLimitInformation, &limits,
                                 sizeof(limits));
}

void CloseJob(ProgramRun& run) {
  // Ended through the job, never by a process ID, which the system may have given to another
  // process once the one it named ended.
  if (run.job != nullptr) TerminateJobObject(run.job, 1);
  if (run.job != nullptr) CloseHandle(run.job);
  if (run.jobPort != nullptr) CloseHandle(run.jobPort);
  run.job = run.jobPort = nullptr;
}

}  // namespace

ProgramRun StartProgram(const ProgramStart& start) {
  ProgramRun run;
  if (start.childrenWatched && !MakeWatchedJob(run)) {
    CloseJob(run);
    return run;
  }
  // CreateProcessW may write into the command line, so it gets a copy of its own.
  std::u16string writable = start.commandLine;
  // The child inherits the environment; WINEDEBUG is set only for the moment of its start.
  wchar_t saved[256] = {};
  const bool hadChannels = GetEnvironmentVariableW(L"WINEDEBUG", saved, 256) != 0;
  const bool channels = !start.debugChannels.empty();
  if (channels) SetEnvironmentVariableW(L"WINEDEBUG", WideText(start.debugChannels));
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  if (start.standardOutput != nullptr) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = start.standardOutput;
  }
  run.started =
      CreateProcessW(start.program.empty() ? nullptr : WideText(start.program),
                     reinterpret_cast<wchar_t*>(&writable[0]), nullptr, nullptr,
                     start.standardOutput != nullptr, start.childrenWatched ? CREATE_SUSPENDED : 0,
                     nullptr, start.directory.empty() ? nullptr : WideText(start.directory),
                     &startup, &run.process) != 0;
  if (channels) SetEnvironmentVariableW(L"WINEDEBUG", hadChannels ? saved : nullptr);
  if (run.started && start.childrenWatched) {
    // In the job before it runs, so that nothing it starts is outside it.
    if (AssignProcessToJobObject(run.job, run.process.hProcess)) {
      ResumeThread(run.process.hThread);
    } else {
      CloseRun(run);
    }
  }
  if (!run.started) CloseJob(run);
  return run;
}

bool WaitForDialog(ProgramRun& run, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  // Wine, like Windows, signals input idle once the program first waits for messages with none
  // queued: for a program whose one window is a message box, that is the box's own loop, with
  // the box on screen. A program idle before its box is still caught by the short polls.
  WaitForInputIdle(run.process.hProcess, timeoutMs);
  for (;;) {
    DialogSearch search = {run.process.dwProcessId, nullptr};
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) {
      run.dialog = search.found;
      return true;
    }
    if (HasEnded(run.process.hProcess, 1)) return false;
    if (timeoutMs != INFINITE && GetTickCount() - start >= timeoutMs) return false;
  }
}

DialogSeen ReadDialog(HWND dialog) {
  DialogSeen seen;
  seen.title = TextOf(dialog);
  if (HWND text = GetDlgItem(dialog, 0xFFFF)) seen.text = TextOf(text);
  EnumChildWindows(dialog, NoteChild, reinterpret_cast<LPARAM>(&seen));
  return seen;
}

bool AnswerDialog(HWND dialog, int buttonId) {
  HWND button = GetDlgItem(dialog, buttonId);
  if (button == nullptr) return false;
  // What a click on the button sends its dialog.
  return PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                      reinterpret_cast<LPARAM>(button)) != 0;
}

int64_t WaitForExit(ProgramRun& run, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!HasEnded(run.process.hProcess, std::min<DWORD>(timeoutMs, 10))) {
    if (timeoutMs != INFINITE && GetTickCount() - start >= timeoutMs) return -1;
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(run.process.hProcess, &code)) return -1;
  return code;
}

std::vector<ChildSeen> NewChildren(ProgramRun& run, DWORD timeoutMs) {
  std::vector<ChildSeen> children;
  DWORD message = 0;
  ULONG_PTR key = 0;
  LPOVERLAPPED detail = nullptr;
  for (DWORD wait = timeoutMs;
       run.jobPort != nullptr &&
       GetQueuedCompletionStatus(run.jobPort, &message, &key, &detail, wait);
       wait = 0) {
    // The message's detail is the process ID; the program itself is reported as it joins.
    const DWORD processId = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(detail));
    if (message == JOB_OBJECT_MSG_NEW_PROCESS && processId != run.process.dwProcessId) {
      children.push_back(SeeChild(processId));
    }
  }
  return children;
}

void CloseRun(ProgramRun& run) {
  if (!run.started) return;
  if (!HasEnded(run.process.hProcess, 0)) {
    TerminateProcess(run.process.hProcess, 1);
  }
  CloseHandle(run.process.hThread);
  CloseHandle(run.process.hProcess);
  CloseJob(run);
  run.started = false;
}

}  // namespace farthom

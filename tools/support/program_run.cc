// Starting a program as a real process and seeing its dialog from outside, as a user would.
#include "tools/support/program_run.h"

#include <tlhelp32.h>

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

// The command line a process was started with, or "" when it cannot be read. The system hands
// it over as a counted text in the caller's own layout, whatever the other process's bitness.
std::u16string CommandLineOf(HANDLE process) {
  using Query = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
  const auto query = SystemFunction<Query>(L"ntdll.dll", "NtQueryInformationProcess");
  constexpr ULONG kProcessCommandLineInformation = 60;
  struct CountedText {
    USHORT length;  // in bytes
    USHORT room;
    const wchar_t* text;
  };
  if (query == nullptr) return u"";
  std::vector<unsigned char> buffer(sizeof(CountedText) + 65536);
  ULONG needed = 0;
  if (query(process, kProcessCommandLineInformation, buffer.data(),
            static_cast<ULONG>(buffer.size()), &needed) < 0) {
    return u"";
  }
  CountedText counted;
  std::memcpy(&counted, buffer.data(), sizeof(counted));
  return std::u16string(reinterpret_cast<const char16_t*>(counted.text), counted.length / 2);
}

ChildSeen SeeChild(DWORD processId, const wchar_t* executable) {
  ChildSeen child{processId, FromWide(executable), u"", u""};
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) return child;
  child.image = ImageOf(process);
  child.commandLine = CommandLineOf(process);
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

ProgramRun StartProgram(const ProgramStart& start) {
  ProgramRun run;
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
  run.started = CreateProcessW(start.program.empty() ? nullptr : WideText(start.program),
                               reinterpret_cast<wchar_t*>(&writable[0]), nullptr, nullptr,
                               start.standardOutput != nullptr, 0, nullptr,
                               start.directory.empty() ? nullptr : WideText(start.directory),
                               &startup, &run.process) != 0;
  if (channels) SetEnvironmentVariableW(L"WINEDEBUG", hadChannels ? saved : nullptr);
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
    if (WaitForSingleObject(run.process.hProcess, 1) == WAIT_OBJECT_0) return false;
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
  if (WaitForSingleObject(run.process.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(run.process.hProcess, &code);
  return code;
}

std::vector<ChildSeen> ChildrenOf(const ProgramRun& run) {
  std::vector<ChildSeen> children;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return children;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ParentProcessID == run.process.dwProcessId) {
      children.push_back(SeeChild(entry.th32ProcessID, entry.szExeFile));
    }
  }
  CloseHandle(snapshot);
  return children;
}

std::vector<std::u16string> ModulesOf(const ProgramRun& run) {
  std::vector<std::u16string> modules;
  // The system may answer ERROR_BAD_LENGTH while the process loads or unloads a module; asking
  // again is what it documents.
  HANDLE snapshot = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 50 && snapshot == INVALID_HANDLE_VALUE; ++attempt) {
    snapshot =
        CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, run.process.dwProcessId);
    if (snapshot == INVALID_HANDLE_VALUE && GetLastError() != ERROR_BAD_LENGTH) break;
  }
  if (snapshot == INVALID_HANDLE_VALUE) return modules;
  MODULEENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Module32FirstW(snapshot, &entry); more; more = Module32NextW(snapshot, &entry)) {
    modules.push_back(FromWide(entry.szExePath));
  }
  CloseHandle(snapshot);
  return modules;
}

void EndProcess(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
  if (process == nullptr) return;
  TerminateProcess(process, 0);
  WaitForSingleObject(process, 5000);
  CloseHandle(process);
}

void CloseRun(ProgramRun& run) {
  if (!run.started) return;
  if (WaitForSingleObject(run.process.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(run.process.hProcess, 1);
  }
  CloseHandle(run.process.hThread);
  CloseHandle(run.process.hProcess);
  run.started = false;
}

}  // namespace farthom

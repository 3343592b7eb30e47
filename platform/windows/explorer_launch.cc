// Starting Explorer with the reported path selected.
#include <string>

#include "core/platform.h"
#include "platform/windows/explorer_path.h"
#include "platform/windows/file_system_redirection.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_header.h"
// Declared for the types of <windows.h> above.
#include <shellapi.h>

namespace farthom {

namespace {

// The full path of the shared Windows directory's Explorer, or "" when it cannot be had whole.
// A bare "Explorer.exe" would be looked for in the current directory, which is the surveyed
// folder, and for a 32-bit program on 64-bit Windows in SysWOW64, whose Explorer sees System32
// redirected. GetWindowsDirectoryW may name a per-user directory on a terminal server.
std::u16string WindowsExplorer() {
  wchar_t directory[MAX_PATH];
  // The length without the terminator; the size needed, with it, when the buffer is too small.
  const UINT length = GetSystemWindowsDirectoryW(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return u"";
  std::u16string file = FromWide(directory);
  if (file.back() != u'\\') file += u'\\';
  file += u"explorer.exe";
  // ShellExecuteW takes a file name of MAX_PATH at most.
  return file.size() < MAX_PATH ? file : u"";
}

// The system's answers for the choice of the path Explorer is given (explorer_path.h).
std::u16string CurrentDirectoryText() {
  return SystemText([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); });
}

std::u16string FullPathText(const std::u16string& path) {
  return SystemText([&](wchar_t* buffer, DWORD size) {
    return GetFullPathNameW(WideText(path), size, buffer, nullptr);
  });
}

std::u16string ShortPathText(const std::u16string& path) {
  // Explorer, a 64-bit program on 64-bit Windows, sees System32 as it is; so must the lookup.
  return WithoutFileSystemRedirection([&] {
    return SystemText([&](wchar_t* buffer, DWORD size) {
      return GetShortPathNameW(WideText(path), buffer, size);
    });
  });
}

constexpr PathLookups kSystemLookups = {CurrentDirectoryText, FullPathText, ShortPathText};

}  // namespace

void OpenExplorerAt(const std::u16string& targetPath, const std::u16string& longestPath,
                    bool entered) {
  const std::u16string explorer = WindowsExplorer();
  // Never the bare name instead: not starting Explorer is a failed launch, which is ignored.
  if (explorer.empty()) return;
  const std::u16string path = PathForExplorer(targetPath, longestPath, entered, kSystemLookups);
  // Explorer splits its command line at commas and equals signs, and only quotation marks keep
  // them inside a field; a Windows path never holds a quotation mark, so quoting is always safe.
  const std::u16string parameters = u"/Select,\"" + path + u"\"";
  // The launch is not waited for, and a failure leaves nothing to do, so its result is not
  // looked at.
  ShellExecuteW(nullptr, L"open", WideText(explorer), WideText(parameters), nullptr, SW_SHOWNORMAL);
}

}  // namespace farthom

// Single file-system calls made with 64-bit Windows' redirection of System32 turned off.
//
// farthom.exe is a 32-bit program. On 64-bit Windows the system silently sends a 32-bit program's
// file operations on %windir%\System32 to %windir%\SysWOW64, so a walk of C:\ or C:\Windows would
// never see the real System32 and would count SysWOW64 twice. The probes and the listings turn the
// redirection off around exactly their own calls and back on right after, so that nothing else
// (the DLLs the dialog, the clipboard or the shell load) ever runs without it.
#pragma once

#include "platform/windows/windows_header.h"

namespace farthom {

// Turns the redirection off for the calling thread. True when it did, with `previous` to hand to
// ResumeFileSystemRedirection; false where there is nothing to turn off (32-bit Windows, where
// the functions are missing or fail), and then nothing was changed.
bool PauseFileSystemRedirection(void** previous);

// Turns back on what a successful PauseFileSystemRedirection turned off.
void ResumeFileSystemRedirection(void* previous);

// The result of `call()`, made with the redirection off where there is one. The call's error code
// is kept across turning the redirection back on: a caller may read it next.
template <typename Call>
auto WithoutFileSystemRedirection(Call call) -> decltype(call()) {
  void* previous = nullptr;
  const bool paused = PauseFileSystemRedirection(&previous);
  const auto result = call();
  if (paused) {
    const DWORD error = GetLastError();
    ResumeFileSystemRedirection(previous);
    SetLastError(error);
  }
  return result;
}

}  // namespace farthom

// Turning 64-bit Windows' System32 redirection off and on, where the system has one.
#include "platform/windows/file_system_redirection.h"

#include "platform/windows/system_function.h"

namespace farthom {

namespace {

using DisableCall = BOOL(WINAPI*)(PVOID* previous);
using RevertCall = BOOL(WINAPI*)(PVOID previous);

// Looked up once at run time: a load-time import of either would keep the program from starting
// on a system that lacks them.
DisableCall Disable() {
  static const DisableCall disable =
      SystemFunction<DisableCall>(L"kernel32.dll", "Wow64DisableWow64FsRedirection");
  return disable;
}

RevertCall Revert() {
  static const RevertCall revert =
      SystemFunction<RevertCall>(L"kernel32.dll", "Wow64RevertWow64FsRedirection");
  return revert;
}

}  // namespace

bool PauseFileSystemRedirection(void** previous) {
  const DisableCall disable = Disable();
  // On 32-bit Windows the call exists but fails, and there is nothing to turn back on.
  return disable != nullptr && Revert() != nullptr && disable(previous) != FALSE;
}

void ResumeFileSystemRedirection(void* previous) {
  if (const RevertCall revert = Revert()) revert(previous);
}

}  // namespace farthom

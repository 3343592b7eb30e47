// The Win32 call behind the Explorer launch, held where tests can wrap it.
#pragma once

#include "platform/windows/windows_header.h"
// Declared for the types of <windows.h> above.
#include <shellapi.h>

namespace farthom {

struct ExplorerCalls {
  decltype(&ShellExecuteW) shellExecute;
};

// ShellExecuteW unless a test has put a recording wrapper in its place.
extern ExplorerCalls gExplorerCalls;

}  // namespace farthom

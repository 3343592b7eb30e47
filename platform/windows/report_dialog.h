// The Win32 call behind the report dialog, held where tests can wrap it.
#pragma once

#include "platform/windows/windows_header.h"

namespace farthom {

struct DialogCalls {
  decltype(&MessageBoxW) messageBox;
};

// MessageBoxW unless a test has put a recording wrapper in its place.
extern DialogCalls gDialogCalls;

}  // namespace farthom

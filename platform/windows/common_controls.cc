// Start-up of the common controls, so that the dialog is drawn with the version the manifest binds.
#include "platform/windows/windows_header.h"
// Declared for the types and macros of <windows.h> above.
#include <commctrl.h>

#include "core/platform.h"

namespace farthom {

void StartCommonControls() {
  // The call also makes comctl32 a load-time import, which the manifest's binding needs in order
  // to take effect for the dialog; it has no result to test.
  InitCommonControls();
}

}  // namespace farthom

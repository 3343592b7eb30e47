// Starting Explorer with the reported path selected.
#include <string>

#include "core/platform.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_header.h"
// Declared for the types of <windows.h> above.
#include <shellapi.h>

namespace farthom {

void OpenExplorerAt(const std::u16string& path) {
  // Explorer reads everything after "/Select," up to the end as the path, so the path goes in
  // as it is: no blank after the comma and no quotation marks, whatever it holds.
  const std::u16string parameters = u"/Select," + path;
  // A bare file name: the system finds Explorer itself. The launch is not waited for, and a
  // failure leaves nothing to do, so its result is not looked at.
  ShellExecuteW(nullptr, L"open", L"Explorer.exe", WideText(parameters), nullptr, SW_SHOWNORMAL);
}

}  // namespace farthom

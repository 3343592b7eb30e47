// The one modal dialog of a run.
#include "core/platform.h"
#include "core/report.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_header.h"

namespace farthom {

int32_t ShowReport(const ReportRequest& request) {
  // No owner window, and the style exactly as composed: the icon bits and buttons are the
  // report's, with nothing added for topmost or task-modal behaviour. 0 means no dialog appeared.
  return MessageBoxW(nullptr, WideText(request.text), WideText(request.title), request.style);
}

}  // namespace farthom

// The main sequence of a run, from start-up to the exit code.
#include "core/main_sequence.h"

#include "core/platform.h"

namespace farthom {

RunState gRunState;

namespace {

constexpr uint32_t kAttributeDirectory = 0x10;  // FILE_ATTRIBUTE_DIRECTORY

// Walks the target when it is a directory that can be entered; true when the walk ran.
bool ProbeAndWalk(const std::u16string& targetPath) {
  // A failed query answers with every bit set, so a missing path still gets its change of
  // directory attempted, and it is that change that fails.
  if ((PathAttributes(targetPath) & kAttributeDirectory) == 0) return false;
  // Once entered, the target stays the current directory until the process ends.
  if (!ChangeCurrentDirectory(targetPath)) return false;
  WalkTree(u"", 0);
  return true;
}

}  // namespace

int RunMainSequence() {
  gRunState = RunState();
  gWalkTotals = WalkTotals();
  StartCommonControls();

  // The loop ends at the first empty parameter: the end of the command line, or an empty quoted
  // parameter, after which nothing is read.
  for (std::u16string parameter = NextParameter(); !parameter.empty();
       parameter = NextParameter()) {
    ApplyParameter(gRunState.settings, parameter);
  }

  RunSettings& settings = gRunState.settings;
  // Whether the target was entered, and so walked: from then on it is the current directory.
  bool entered = false;
  if (settings.targetPath.empty()) {
    gRunState.kind = ReportKind::NoPath;
  } else {
    entered = ProbeAndWalk(settings.targetPath);
    if (entered && !gWalkTotals.longestPath.empty()) {
      // The one change ever made to the target: a separator before the relative result.
      if (settings.targetPath.back() != u'\\') settings.targetPath.push_back(u'\\');
      gRunState.kind = ReportKind::Walked;
    } else {
      gRunState.kind = ReportKind::Measured;
    }
    gRunState.fullPath = settings.targetPath + gWalkTotals.longestPath;
    // Before the dialog, whatever its answer.
    if (settings.copyToClipboard) CopyTextToClipboard(gRunState.fullPath);
  }

  gRunState.report = BuildReport(gRunState.kind, settings, gWalkTotals, gRunState.fullPath);
  gRunState.buttonCode = ShowReport(gRunState.report);
  // Explorer is handed the pieces of the reported path rather than the joined text: it runs in a
  // current directory of its own, and cannot take every path the box can show.
  if (gRunState.buttonCode == kButtonYes) {
    OpenExplorerAt(settings.targetPath, gWalkTotals.longestPath, entered);
  }
  return 0;
}

}  // namespace farthom

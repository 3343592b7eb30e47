// The whole run: read the parameters, probe and walk the target, report, act on the answer.
#pragma once

#include <cstdint>
#include <string>

#include "core/longest_path_walk.h"
#include "core/report.h"
#include "core/run_settings.h"

namespace farthom {

// Everything a run holds from start to exit, apart from the walk's own totals.
struct RunState {
  RunSettings settings;
  std::u16string fullPath;   // the path that is reported, copied and opened
  ReportKind kind = ReportKind::NoPath;
  ReportRequest report;
  int32_t buttonCode = 0;    // what the dialog answered
};

extern RunState gRunState;

// Runs the program once from start-up to the end of the dialog and its follow-up. Returns the
// process exit code, which is 0 whatever happened.
int RunMainSequence();

}  // namespace farthom

// Composes the one dialog of a run: its text, title and style bits.
#pragma once

#include <cstdint>
#include <string>

#include "core/longest_path_walk.h"
#include "core/run_settings.h"

namespace farthom {

// Message-box style values, under their Win32 names; the core does not include <windows.h>.
constexpr uint32_t kStyleOk = 0x0;          // MB_OK
constexpr uint32_t kStyleYesNo = 0x4;       // MB_YESNO
constexpr int32_t kButtonYes = 6;           // IDYES

enum class ReportKind {
  NoPath,    // no target path was given
  Walked,    // the walk ran and found at least one entry
  Measured,  // a target path was given, but no walk ran or it found nothing
};

struct ReportRequest {
  std::u16string text;
  std::u16string title;
  uint32_t style = 0;
};

// Writes a signed value in decimal: no leading zeros, no grouping, no plus sign.
std::u16string DecimalText(int64_t value);

ReportRequest BuildReport(ReportKind kind, const RunSettings& settings, const WalkTotals& totals,
                          const std::u16string& fullPath);

}  // namespace farthom

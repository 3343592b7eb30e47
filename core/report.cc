// The report's text, title and style for each kind of run.
#include "core/report.h"

#include "core/version.h"

namespace farthom {

namespace {

constexpr char16_t kCarriageReturn = u'\r';  // the only line break the dialog text ever holds
constexpr char16_t kBackslash = u'\\';

const std::u16string kUsageText = u"Drag&drop a path on [shortcut to] executable";
const std::u16string kTitle = u"Farthom";
const std::u16string kVersionSuffix = std::u16string(u" ") + kVersionText;

// Appends the path with a line break after every backslash, so that each component ends a line.
void AppendBrokenPath(std::u16string& text, const std::u16string& path) {
  for (const char16_t unit : path) {
    text.push_back(unit);
    if (unit == kBackslash) text.push_back(kCarriageReturn);
  }
}

}  // namespace

std::u16string DecimalText(int64_t value) {
  // Work on the magnitude as unsigned so that the most negative value has a magnitude too.
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  char16_t digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  std::u16string text;
  if (value < 0) text.push_back(u'-');
  while (count > 0) text.push_back(digits[--count]);
  return text;
}

ReportRequest BuildReport(ReportKind kind, const RunSettings& settings, const WalkTotals& totals,
                          const std::u16string& fullPath) {
  ReportRequest request;
  if (kind == ReportKind::NoPath) {
    request.text = kUsageText;
    request.title = kTitle + kVersionSuffix;
    request.style = kStyleOk | settings.iconStyle;
    return request;
  }

  std::u16string& text = request.text;
  if (kind == ReportKind::Walked) {
    text += u"Longest of ";
    text += DecimalText(totals.entryCount);
    text += u" paths:\r\r";
  }
  AppendBrokenPath(text, fullPath);
  text.append(2, kCarriageReturn);
  // The length is that of the path itself, before any line break went in.
  text += DecimalText(static_cast<int64_t>(fullPath.size()));
  text += u" characters";
  const bool asks = !settings.noPrompt;
  if (asks) text += u"\r\rOpen Folder (Explorer)?";

  request.title = kTitle;
  request.style = (asks ? kStyleYesNo : kStyleOk) | settings.iconStyle;
  return request;
}

}  // namespace farthom

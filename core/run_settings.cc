// Reading one parameter into the run settings.
#include "core/run_settings.h"

#include "core/platform.h"

namespace farthom {

void ApplyParameter(RunSettings& settings, const std::u16string& parameter) {
  if (parameter.empty()) return;
  if (parameter[0] != u'/') {
    // A later path replaces an earlier one; the text is kept exactly as given.
    settings.targetPath = parameter;
    return;
  }
  // Only the second character names the option, so /Info, /I and /i are one option. "/" alone
  // has no letter and is ignored.
  if (parameter.size() < 2) return;
  const std::u16string letter = LowerCaseText(parameter.substr(1, 1));
  // First match acts; any other letter is ignored.
  if (letter == u"i") {
    settings.iconStyle = kIconInformation;
  } else if (letter == u"m") {
    settings.iconStyle = kIconInformationUser;
  } else if (letter == u"n") {
    settings.noPrompt = true;
  } else if (letter == u"c") {
    settings.copyToClipboard = true;
  }
}

}  // namespace farthom

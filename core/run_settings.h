// What the command line asked for: the target path and the four options.
#pragma once

#include <cstdint>
#include <string>

namespace farthom {

// Icon bits the options put into the dialog style, under their Win32 names.
constexpr uint32_t kIconInformation = 0x40;              // MB_ICONINFORMATION, option "i"
constexpr uint32_t kIconInformationUser = 0x40 | 0x80;  // MB_ICONINFORMATION | MB_USERICON, "m"

struct RunSettings {
  std::u16string targetPath;   // the last parameter not starting with "/"
  uint32_t iconStyle = 0;      // 0, kIconInformation or kIconInformationUser
  bool noPrompt = false;       // "n": OK only, no question
  bool copyToClipboard = false;  // "c": copy the reported path before the dialog
};

// Applies one non-empty parameter: an option when it starts with "/", else the target path.
void ApplyParameter(RunSettings& settings, const std::u16string& parameter);

}  // namespace farthom

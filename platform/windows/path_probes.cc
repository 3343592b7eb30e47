// The two path probes: a path's attribute bits and entering a directory.
#include <string>

#include "core/platform.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_header.h"

namespace farthom {

uint32_t PathAttributes(const std::u16string& path) {
  // An empty path is a failed query without asking: to Win32 it would name nothing anyway.
  if (path.empty()) return INVALID_FILE_ATTRIBUTES;
  return GetFileAttributesW(WideText(path));
}

bool ChangeCurrentDirectory(const std::u16string& path) {
  if (path.empty()) return false;
  return SetCurrentDirectoryW(WideText(path)) != 0;
}

}  // namespace farthom

// The two path probes: a path's attribute bits and entering a directory.
#include <string>

#include "core/platform.h"
#include "platform/windows/file_system_redirection.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_header.h"

namespace farthom {

uint32_t PathAttributes(const std::u16string& path) {
  // An empty path is a failed query without asking: to Win32 it would name nothing anyway.
  if (path.empty()) return INVALID_FILE_ATTRIBUTES;
  // With System32 seen as it is on 64-bit Windows, as Explorer sees it.
  return WithoutFileSystemRedirection([&] { return GetFileAttributesW(WideText(path)); });
}

bool ChangeCurrentDirectory(const std::u16string& path) {
  if (path.empty()) return false;
  // Entered as it is named. The listings below it name paths relative to it, which the system
  // resolves to full paths, so they turn the redirection off for their own calls too.
  return WithoutFileSystemRedirection([&] { return SetCurrentDirectoryW(WideText(path)); }) != 0;
}

}  // namespace farthom

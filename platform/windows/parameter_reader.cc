// NextParameter on Win32: the process's own command line, split by the program's rules.
#include "platform/windows/parameter_reader.h"

#include <string>

#include "core/platform.h"
#include "platform/windows/command_line_split.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_header.h"

namespace farthom {

int32_t ParameterCursor = 0;

ParameterView FindParameter() {
  // Asked again on every call: no copy of the line and no list of its tokens is kept, only the
  // cursor, which counts tokens of this same text.
  const wchar_t* text = GetCommandLineW();
  const ParameterSpan span = FindParameterIn(text, ParameterCursor);
  if (text == nullptr) return ParameterView{L"", 0};
  return ParameterView{text + span.position, span.length};
}

std::u16string NextParameter() {
  const ParameterView view = FindParameter();
  // Code unit for code unit: a surrogate pair or a tab comes through as it was.
  return std::u16string(view.position, view.position + view.length);
}

}  // namespace farthom

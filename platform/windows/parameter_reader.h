// The process's parameter reader on Win32: the cursor and the view of one parameter.
#pragma once

#include <cstddef>
#include <cstdint>

namespace farthom {

// How many parameters have been handed out so far, the program's path not counted. Only
// FindParameter changes it.
extern int32_t ParameterCursor;

// A stretch of the text GetCommandLineW returned, read in place: never a copy.
struct ParameterView {
  const wchar_t* position;
  size_t length;
};

// The parameter numbered ParameterCursor in the process's command line, read afresh, and the
// cursor moved past it. When there is none: length 0 at the end of the text, cursor unchanged.
ParameterView FindParameter();

}  // namespace farthom

// The program's own rules for splitting a raw command line into parameters, on any UTF-16 text.
//
// Only the space separates; a quotation mark opens a quoted token only as a token's first
// character and the next quotation mark closes it; there is no escape character. The first token
// is the program's own path and is never a parameter. Nothing here calls the system, so the same
// code runs on the host's tests and on the text Windows hands the process.
#pragma once

#include <cstddef>
#include <cstdint>

namespace farthom {

// Where a parameter's content lies in the scanned text, in code units from its first one.
struct ParameterSpan {
  size_t position;
  size_t length;
};

// Scans `text` (up to its first NUL; a null pointer is the empty text) from its first code unit
// and returns the parameter numbered `cursor` (the program's path is number -1), adding 1 to
// `cursor`. When there is none, the span is empty at the end of the text and `cursor` is left
// alone. Every call scans again from the start: nothing is kept between calls but the cursor.
template <typename CodeUnit>
ParameterSpan FindParameterIn(const CodeUnit* text, int32_t& cursor) {
  constexpr CodeUnit kSpace = CodeUnit(0x20);
  constexpr CodeUnit kQuote = CodeUnit(0x22);
  constexpr CodeUnit kEnd = CodeUnit(0);
  if (text == nullptr) return ParameterSpan{0, 0};

  size_t at = 0;
  for (int32_t number = -1;; ++number) {
    while (text[at] == kSpace) ++at;
    if (text[at] == kEnd) break;

    size_t start;
    size_t end;
    if (text[at] == kQuote) {
      // A backslash escapes nothing, so the first quotation mark after the opening one closes
      // the token; without one the token runs to the end of the text.
      start = at + 1;
      end = start;
      while (text[end] != kEnd && text[end] != kQuote) ++end;
      // Whatever follows a closing quotation mark starts the next token, without a space.
      at = text[end] == kQuote ? end + 1 : end;
    } else {
      // A quotation mark inside a plain token is an ordinary character, as is a tab.
      start = at;
      end = start;
      while (text[end] != kEnd && text[end] != kSpace) ++end;
      at = end;
    }

    // The cursor is never below 0, so the program's path never matches.
    if (number == cursor) {
      ++cursor;
      return ParameterSpan{start, end - start};
    }
  }
  return ParameterSpan{at, 0};
}

}  // namespace farthom

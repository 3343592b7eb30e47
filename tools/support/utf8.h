// UTF-16 texts as UTF-8 for output: terminals, tab-separated figures, failure messages.
#pragma once

#include <string>

namespace farthom {

// A lone surrogate, which UTF-8 cannot hold, becomes U+FFFD.
std::string Utf8(const std::u16string& text);

// The same on one line: carriage returns, line feeds and tabs become "|".
std::string Utf8OnOneLine(const std::u16string& text);

}  // namespace farthom

// Fuzz target: any UTF-16 text as the raw command line, split the way NextParameter splits it.
//
// The bytes are read as little-endian UTF-16 code units up to the first NUL, as the text that
// GetCommandLineW returns would be. The splitter is driven as the program drives it, one call per
// parameter, and then on past the end; every result is checked against what must hold whatever
// the text is, and against a plain one-pass tokeniser of the same rules.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/windows/command_line_split.h"

namespace farthom {
namespace {

void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "broken property: %s\n", property);
  std::abort();
}

struct Token {
  size_t position;
  size_t length;
  bool quoted;
};

// Every token of the text in one pass, the program's path first: space is the only separator, a
// quotation mark opens a quoted token only as a token's first character and the next one closes
// it, and nothing escapes anything.
std::vector<Token> Tokenise(const std::u16string& text) {
  std::vector<Token> tokens;
  size_t at = 0;
  for (;;) {
    at = text.find_first_not_of(u' ', at);
    if (at == std::u16string::npos) return tokens;
    if (text[at] == u'"') {
      const size_t close = text.find(u'"', at + 1);
      const size_t end = close == std::u16string::npos ? text.size() : close;
      tokens.push_back(Token{at + 1, end - (at + 1), true});
      at = close == std::u16string::npos ? text.size() : close + 1;
    } else {
      const size_t space = text.find(u' ', at);
      const size_t end = space == std::u16string::npos ? text.size() : space;
      tokens.push_back(Token{at, end - at, false});
      at = end;
    }
  }
}

// Drives the splitter over one text with one code-unit type (char16_t is what the portable code
// uses, wchar_t what Windows hands over; on this host wchar_t is 32 bits wide, which the
// splitter must not mind).
template <typename CodeUnit>
void DriveSplitter(const std::u16string& source, const std::vector<Token>& tokens) {
  std::vector<CodeUnit> text(source.begin(), source.end());
  text.push_back(0);
  const size_t length = source.size();
  // The program's path, token -1, ends here; no parameter may start before that.
  const size_t pathEnd = tokens.empty() ? length : tokens[0].position + tokens[0].length;
  const int32_t parameterCount = tokens.empty() ? 0 : static_cast<int32_t>(tokens.size()) - 1;

  int32_t cursor = 0;
  int callsPastTheEnd = 0;
  // Every parameter but an empty quoted one takes at least one code unit and an empty quoted one
  // takes two, so a splitter that hands out more parameters than the text has units never ends.
  while (callsPastTheEnd < 4) {
    const int32_t before = cursor;
    const ParameterSpan span = FindParameterIn(text.data(), cursor);
    Require(span.position <= length && span.length <= length - span.position,
            "the parameter lies inside the text");
    if (cursor == before) {
      Require(span.position == length && span.length == 0,
              "no parameter is an empty view at the end of the text");
      Require(before == parameterCount, "no parameter only once they are all handed out");
      ++callsPastTheEnd;
      continue;
    }
    Require(callsPastTheEnd == 0, "nothing is found once the end has been reported");
    Require(cursor == before + 1, "the cursor grows by one per parameter");
    Require(static_cast<size_t>(cursor) <= length, "no more parameters than code units");
    Require(span.position >= pathEnd, "the program's path is never returned");

    bool hasSpace = false;
    for (size_t i = span.position; i < span.position + span.length; ++i) {
      hasSpace = hasSpace || text[i] == CodeUnit(' ');
    }
    const bool openedByQuote = span.position > 0 && text[span.position - 1] == CodeUnit('"');
    Require(!hasSpace || openedByQuote, "a space only inside a quoted parameter");
    const CodeUnit after = text[span.position + span.length];
    Require(after == CodeUnit(' ') || after == CodeUnit('"') || after == 0,
            "a parameter ends at a space, a quotation mark or the end of the text");

    Require(before < parameterCount, "a parameter only while the text has one");
    const Token& expected = tokens[static_cast<size_t>(cursor)];
    Require(span.position == expected.position && span.length == expected.length,
            "the parameter is the token with the cursor's number");
  }
  Require(cursor == parameterCount, "every parameter was handed out once");
}

}  // namespace
}  // namespace farthom

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2) {
    const char16_t unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (unit == 0) break;
    text.push_back(unit);
  }
  const std::vector<farthom::Token> tokens = farthom::Tokenise(text);
  farthom::DriveSplitter<char16_t>(text, tokens);
  farthom::DriveSplitter<wchar_t>(text, tokens);
  return 0;
}

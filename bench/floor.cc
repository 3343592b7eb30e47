// The floor: the least a Windows program can do to count the entries below a folder and measure
// the longest relative path, with the same 258-character prefix limit as farthom's listings.
#include <cwchar>
#include <string_view>

#include "core/platform.h"
#include "platform/windows/extended_path.h"
#include "platform/windows/search_text.h"
#include "platform/windows/windows_header.h"

namespace farthom {
namespace {

// The listings' relative search text has room for kSearchTextLength characters, "*.*" included.
constexpr size_t kRelativeRoom = kSearchTextLength;
constexpr wchar_t kPattern[] = L"*.*";
constexpr size_t kPatternLength = 3;

// Every search goes out as farthom's listings send theirs: "\\?\", the current directory and the
// relative text. Windows limits a relative path to MAX_PATH in all, so a relative search below a
// long folder would stop early and the floor would do less work than farthom. The head is written
// once, the current directory being fixed for the walk; the relative room still bounds the walk.
constexpr size_t kHeadRoom = kExtendedPathLength;
wchar_t gSearchText[kHeadRoom + kRelativeRoom + 1];
// One relative text for every level, after the head: a level writes its prefix, a child appends
// to it. A level never needs its own prefix again once its search has started, so children may
// overwrite the tail.
wchar_t* gRelative = gSearchText;
// One find record for every level too: an entry is fully read before the walk descends.
WIN32_FIND_DATAW gFindData;
long long gEntryCount = 0;
size_t gLongestLength = 0;

bool IsDotOrDotDot(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

// Lists the directory whose relative prefix ("" or ending in "\") fills the buffer up to
// `prefixLength`, and everything below it that fits the search text.
void Walk(size_t prefixLength) {
  std::wmemcpy(gRelative + prefixLength, kPattern, kPatternLength + 1);
  const HANDLE search = FindFirstFileW(gSearchText, &gFindData);
  // Nothing found and a directory that cannot be listed both add nothing here.
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const wchar_t* name = gFindData.cFileName;
    if (IsDotOrDotDot(name)) continue;
    const size_t nameLength = std::wcslen(name);
    ++gEntryCount;
    if (prefixLength + nameLength > gLongestLength) gLongestLength = prefixLength + nameLength;
    const size_t childPrefixLength = prefixLength + nameLength + 1;
    if ((gFindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
        childPrefixLength + kPatternLength <= kRelativeRoom) {
      std::wmemcpy(gRelative + prefixLength, name, nameLength);
      gRelative[prefixLength + nameLength] = L'\\';
      Walk(childPrefixLength);
    }
  } while (FindNextFileW(search, &gFindData));
  FindClose(search);
}

// Writes the head of every search, the current directory's extended-length form and "\", and
// points gRelative past it. Where the directory has no such form (a device path), or cannot be
// read whole, the searches stay relative, as farthom's do then.
void WriteHead() {
  static wchar_t directory[kHeadRoom];
  const DWORD length = GetCurrentDirectoryW(kHeadRoom, directory);
  if (length == 0 || length >= kHeadRoom) return;
  std::u16string_view head;
  std::u16string_view rest;
  if (!SplitExtendedForm(std::u16string_view(reinterpret_cast<const char16_t*>(directory), length),
                         head, rest)) {
    return;
  }
  const size_t separator = rest.back() == u'\\' ? 0 : 1;
  if (head.size() + rest.size() + separator > kHeadRoom) return;
  wchar_t* out = gSearchText;
  for (char16_t unit : head) *out++ = static_cast<wchar_t>(unit);
  for (char16_t unit : rest) *out++ = static_cast<wchar_t>(unit);
  if (separator != 0) *out++ = L'\\';
  gRelative = out;
}

// The first parameter after the program's own path, with its quotation marks taken off.
const wchar_t* TargetParameter(wchar_t* commandLine) {
  wchar_t* cursor = commandLine;
  if (*cursor == L'"') {
    ++cursor;
    while (*cursor != 0 && *cursor != L'"') ++cursor;
    if (*cursor == L'"') ++cursor;
  } else {
    while (*cursor != 0 && *cursor != L' ') ++cursor;
  }
  while (*cursor == L' ') ++cursor;
  if (*cursor != L'"') return cursor;
  wchar_t* const start = ++cursor;
  while (*cursor != 0 && *cursor != L'"') ++cursor;
  *cursor = 0;
  return start;
}

void AppendText(wchar_t*& out, const wchar_t* text) {
  while (*text != 0) *out++ = *text++;
}

void AppendDecimal(wchar_t*& out, unsigned long long value) {
  wchar_t digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) *out++ = digits[--count];
}

}  // namespace
}  // namespace farthom

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace farthom;
  const wchar_t* target = TargetParameter(GetCommandLineW());
  // The same words as farthom's heading and length line, so one reader takes both figures.
  wchar_t text[96];
  wchar_t* out = text;
  if (*target != 0 && SetCurrentDirectoryW(target)) {
    WriteHead();
    Walk(0);
    AppendText(out, L"Longest of ");
    AppendDecimal(out, static_cast<unsigned long long>(gEntryCount));
    AppendText(out, L" paths:\r\r");
    AppendDecimal(out, gLongestLength);
    AppendText(out, L" characters (relative)");
  } else {
    AppendText(out, L"Cannot enter the folder");
  }
  *out = 0;
  MessageBoxW(nullptr, text, L"Floor", MB_OK);
  return 0;
}

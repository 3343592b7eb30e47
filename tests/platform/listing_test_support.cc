// Counted platform calls for the listing tests, and a way back to a process without listings.
#include "tests/platform/listing_test_support.h"

#include <cstdlib>
#include <cwchar>

#include "platform/windows/find_calls.h"
#include "platform/windows/listing_table.h"
#include "tools/support/temporary_tree.h"

namespace farthom {

PlatformCallLog gCalls;

namespace {

// Counting is off until a test asks for it, so that other code in the tests lists as usual.
bool gCounting = false;

// Windows' own limit on a path without the "\\?\" prefix, which Wine does not apply: its full
// path, with the terminator, must fit in MAX_PATH (260). Microsoft's "Maximum Path Length
// Limitation" (Win32 File I/O documentation): "relative paths are always limited to a total of
// MAX_PATH characters", unless the program opts in to long paths and the machine has them on.
// Windows answers ERROR_FILENAME_EXCED_RANGE, or at times ERROR_PATH_NOT_FOUND, which the
// listings treat alike.
HANDLE FindFirstAsWindowsDoes(LPCWSTR searchText, LPWIN32_FIND_DATAW findData) {
  if (std::wcsncmp(searchText, L"\\\\?\\", 4) != 0) {
    // The size the full path needs, with its terminator.
    if (GetFullPathNameW(searchText, 0, nullptr, nullptr) > MAX_PATH) {
      SetLastError(ERROR_FILENAME_EXCED_RANGE);
      return INVALID_HANDLE_VALUE;
    }
  }
  return FindFirstFileW(searchText, findData);
}

}  // namespace

// The listings' calls in the test build: the system's own under Windows' path limit, counted
// while gCounting is set.
namespace find_calls {

HANDLE FindFirst(LPCWSTR searchText, LPWIN32_FIND_DATAW findData) {
  if (!gCounting) return FindFirstAsWindowsDoes(searchText, findData);
  const std::wstring text = searchText;
  gCalls.calls.push_back("FindFirstFileW");
  gCalls.searchTexts.push_back(std::u16string(text.begin(), text.end()));
  if (gCalls.failFindFirst) return gCalls.failedHandle;
  const HANDLE search = FindFirstAsWindowsDoes(searchText, findData);
  // The bookkeeping below may allocate, which may touch the thread's last error.
  const DWORD error = GetLastError();
  if (search != INVALID_HANDLE_VALUE) {
    gCalls.liveSearches.insert(search);
    if (gCalls.liveSearches.size() > gCalls.mostLiveSearches) {
      gCalls.mostLiveSearches = gCalls.liveSearches.size();
    }
  }
  SetLastError(error);
  return search;
}

BOOL FindNext(HANDLE search, LPWIN32_FIND_DATAW findData) {
  if (gCounting) gCalls.calls.push_back("FindNextFileW");
  return FindNextFileW(search, findData);
}

BOOL CloseSearch(HANDLE search) {
  if (gCounting) {
    gCalls.calls.push_back("FindClose");
    gCalls.closedHandles.push_back(search);
    gCalls.liveSearches.erase(search);
  }
  return FindClose(search);
}

DWORD LastError() {
  if (!gCounting) return GetLastError();
  const DWORD error = gCalls.failFindFirst ? gCalls.failedError : GetLastError();
  gCalls.calls.push_back("GetLastError");
  return error;
}

}  // namespace find_calls

void CountPlatformCalls() {
  gCalls = PlatformCallLog();
  gCounting = true;
}

void RestorePlatformCalls() { gCounting = false; }

std::u16string ExtendedFromHere(const std::u16string& relative) {
  std::u16string here = CurrentDirectory();
  if (here.empty() || here.back() != u'\\') here += u'\\';
  return u"\\\\?\\" + here + relative;
}

void DiscardListingTable() {
  for (int32_t number = 0; number < gListingTable.slotCount; ++number) {
    ReleaseListing(number);
    delete gListingTable.slots[number];
  }
  std::free(gListingTable.slots);
  gListingTable = ListingTable();
}

}  // namespace farthom

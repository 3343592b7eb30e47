// Counted platform calls for the listing tests, and a way back to a process without listings.
#include "tests/platform/listing_test_support.h"

#include <cstdlib>

#include "platform/windows/find_calls.h"
#include "platform/windows/listing_table.h"

namespace farthom {

PlatformCallLog gCalls;

namespace {

// Counting is off until a test asks for it, so that other code in the tests lists as usual.
bool gCounting = false;

}  // namespace

// The listings' calls in the test build: the system's own, counted while gCounting is set.
namespace find_calls {

HANDLE FindFirst(LPCWSTR searchText, LPWIN32_FIND_DATAW findData) {
  if (!gCounting) return FindFirstFileW(searchText, findData);
  const std::wstring text = searchText;
  gCalls.calls.push_back("FindFirstFileW");
  gCalls.searchTexts.push_back(std::u16string(text.begin(), text.end()));
  if (gCalls.failFindFirst) return gCalls.failedHandle;
  const HANDLE search = FindFirstFileW(searchText, findData);
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

void DiscardListingTable() {
  for (int32_t number = 0; number < gListingTable.slotCount; ++number) {
    ReleaseListing(number);
    delete gListingTable.slots[number];
  }
  std::free(gListingTable.slots);
  gListingTable = ListingTable();
}

}  // namespace farthom

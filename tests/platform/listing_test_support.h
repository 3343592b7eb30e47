// Shared by the listing tests: counted versions of the four platform calls behind the listings.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/windows/windows_header.h"

namespace farthom {

// What the listings asked of the platform, in order, while the counted calls were in place.
struct PlatformCallLog {
  std::vector<std::string> calls;  // "FindFirstFileW", "FindNextFileW", "FindClose", ...
  std::vector<std::u16string> searchTexts;
  std::vector<HANDLE> closedHandles;
  std::set<HANDLE> liveSearches;
  size_t mostLiveSearches = 0;

  // When `failFindFirst` is set, FindFirstFileW searches nothing and returns `failedHandle`, and
  // GetLastError then reports `failedError`: errors a test cannot provoke on demand.
  bool failFindFirst = false;
  HANDLE failedHandle = INVALID_HANDLE_VALUE;
  DWORD failedError = 0;
};

extern PlatformCallLog gCalls;

// Clears `gCalls` and counts the listings' calls from then on.
void CountPlatformCalls();
// Stops counting: the calls are the system's own again.
void RestorePlatformCalls();

// `relative` as the listings hand it to Windows from a current directory on a drive: "\\?\",
// the current directory, one "\" unless it ends in one, and the text.
std::u16string ExtendedFromHere(const std::u16string& relative);

// Closes every live search and frees the table and its records, so that the next OpenListing
// creates a new table: each test starts from a process that has no listings.
void DiscardListingTable();

}  // namespace farthom

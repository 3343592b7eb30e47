// Shared by the listing tests: scratch directory trees on the real file system, and counted
// versions of the four platform calls behind the listings.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/windows/windows_header.h"

namespace farthom {

// A new, empty directory under the system's temporary folder, made the current directory while
// the test runs. Paths given to it are relative to its root, components joined by "\"; they are
// made through "\\?\" paths, so names ending in dots or spaces are kept as they are.
class ScratchTree {
 public:
  // Creates the root and enters it; false when either fails.
  bool Create();
  // Restores the earlier current directory and removes everything below the root.
  void Remove();
  bool MakeDirectory(const std::u16string& path);
  bool MakeFile(const std::u16string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL);

 private:
  std::wstring root_;  // "\\?\" and the absolute path, no final "\"
  std::wstring previousDirectory_;
};

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

// Closes every live search and frees the table and its records, so that the next OpenListing
// creates a new table: each test starts from a process that has no listings.
void DiscardListingTable();

std::string NarrowForMessages(const std::u16string& text);

}  // namespace farthom

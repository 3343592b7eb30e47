// Scratch trees under the temporary folder and counted platform calls for the listing tests.
#include "tests/platform/listing_test_support.h"

#include <cstdlib>

#include "platform/windows/find_calls.h"
#include "platform/windows/listing_table.h"

namespace farthom {

PlatformCallLog gCalls;

namespace {

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// Removes a directory and everything in it. Entries are removed, never followed: a link to a
// directory is removed as the link.
void RemoveDirectoryTree(const std::wstring& directory) {
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW((directory + L"\\*").c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = directory + L"\\" + name;
      const DWORD attributes = data.dwFileAttributes;
      if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
          (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        RemoveDirectoryTree(path);
      } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        RemoveDirectoryW(path.c_str());
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &data));
    FindClose(search);
  }
  RemoveDirectoryW(directory.c_str());
}

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

bool ScratchTree::Create() {
  static int created = 0;
  wchar_t temporary[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
  if (length == 0 || length > MAX_PATH) return false;
  std::wstring path(temporary, length);
  if (path.back() == L'\\') path.pop_back();
  path += L"\\farthom-listings-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(++created);
  root_ = L"\\\\?\\" + path;
  if (!CreateDirectoryW(root_.c_str(), nullptr)) return false;

  wchar_t current[MAX_PATH + 1];
  const DWORD currentLength = GetCurrentDirectoryW(MAX_PATH + 1, current);
  if (currentLength == 0 || currentLength > MAX_PATH) return false;
  previousDirectory_.assign(current, currentLength);
  return SetCurrentDirectoryW(path.c_str()) != FALSE;
}

void ScratchTree::Remove() {
  if (!previousDirectory_.empty()) SetCurrentDirectoryW(previousDirectory_.c_str());
  if (!root_.empty()) RemoveDirectoryTree(root_);
  root_.clear();
  previousDirectory_.clear();
}

bool ScratchTree::MakeDirectory(const std::u16string& path) {
  return CreateDirectoryW((root_ + L"\\" + Wide(path)).c_str(), nullptr) != FALSE;
}

bool ScratchTree::MakeFile(const std::u16string& path, DWORD attributes) {
  const HANDLE file = CreateFileW((root_ + L"\\" + Wide(path)).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, attributes, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

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

std::string NarrowForMessages(const std::u16string& text) {
  std::string narrow;
  for (char16_t unit : text) narrow.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
  return narrow;
}

}  // namespace farthom

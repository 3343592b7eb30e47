// Numbered directory listings on FindFirstFileW and FindNextFileW: one reusable record per number.
#include "platform/windows/listing_table.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <new>

#include "platform/windows/file_system_redirection.h"
#include "platform/windows/find_calls.h"
#include "platform/windows/search_text.h"
#include "platform/windows/wide_text.h"

namespace farthom {

ListingTable gListingTable = {};

namespace {

constexpr int32_t kInitialSlotCount = 16;
constexpr int32_t kGrowthStep = 16;

bool CreateTable() {
  void* memory = std::malloc(kInitialSlotCount * sizeof(ListingSlot*));
  if (memory == nullptr) return false;
  ListingSlot** slots = static_cast<ListingSlot**>(memory);
  for (int32_t i = 0; i < kInitialSlotCount; ++i) slots[i] = nullptr;
  gListingTable.growthStep = kGrowthStep;
  gListingTable.slotCount = kInitialSlotCount;
  gListingTable.slots = slots;
  gListingTable.release = ReleaseListing;
  return true;
}

// Makes room for `number`: the table then has `number` + growthStep slots, the added ones null.
// False, with the table unchanged, when that count cannot be represented or allocated.
bool GrowTable(int32_t number) {
  if (number > std::numeric_limits<int32_t>::max() - gListingTable.growthStep) return false;
  const int32_t newCount = number + gListingTable.growthStep;
  if (static_cast<size_t>(newCount) > std::numeric_limits<size_t>::max() / sizeof(ListingSlot*)) {
    return false;
  }
  void* memory = std::realloc(gListingTable.slots, newCount * sizeof(ListingSlot*));
  if (memory == nullptr) return false;
  ListingSlot** slots = static_cast<ListingSlot**>(memory);
  for (int32_t i = gListingTable.slotCount; i < newCount; ++i) slots[i] = nullptr;
  gListingTable.slots = slots;
  gListingTable.slotCount = newCount;
  return true;
}

// The number's record, its earlier search closed and the record cleared, or a new zero-filled
// record; null only when memory runs out.
ListingSlot* TakeSlot(int32_t number) {
  if (number >= gListingTable.slotCount && !GrowTable(number)) return nullptr;
  ListingSlot*& slot = gListingTable.slots[number];
  if (slot != nullptr) {
    gListingTable.release(number);
    return slot;
  }
  slot = new (std::nothrow) ListingSlot();
  return slot;
}

// The current directory and the extended-length search text, in buffers of the longest length
// the system takes: one opening at a time on the walk's one thread, and nothing allocated.
char16_t gCurrentDirectory[kExtendedPathRoom];
char16_t gExtendedText[kExtendedPathRoom];

// Writes the extended-length form of `relative` to gExtendedText; false when the relative text
// must be searched as it is, also when the current directory cannot be read whole.
bool ExtendedSearchText(const char16_t* relative) {
  // The length without the terminator on success; the size needed, with it, when it has no room.
  const DWORD length = GetCurrentDirectoryW(kExtendedPathRoom, WideBuffer(gCurrentDirectory));
  if (length == 0 || length >= kExtendedPathRoom) return false;
  return BuildExtendedSearchText(std::u16string_view(gCurrentDirectory, length), relative,
                                 gExtendedText);
}

bool IsLiveSearch(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

}  // namespace

ListingSlot* LookUpListing(int32_t number) {
  if (number < 0 || number >= gListingTable.slotCount) return nullptr;
  ListingSlot* slot = gListingTable.slots[number];
  if (slot == nullptr || slot->searchHandle == nullptr) return nullptr;
  return slot;
}

void ReleaseListing(int32_t number) {
  ListingSlot* slot = LookUpListing(number);
  if (slot == nullptr) return;
  // An empty listing has no search to close. A failing FindClose leaves nothing to retry.
  if (slot->searchHandle != INVALID_HANDLE_VALUE) find_calls::CloseSearch(slot->searchHandle);
  *slot = ListingSlot();
}

ListingSlot* OpenListing(int32_t number, const std::u16string& directory,
                         const std::u16string& pattern) {
  // No slot can hold a negative number; the walk never passes one.
  if (number < 0) return nullptr;
  if (gListingTable.slots == nullptr && !CreateTable()) return nullptr;

  char16_t text[kSearchTextRoom];
  const bool textFits = BuildSearchText(directory, pattern, text);

  ListingSlot* slot = TakeSlot(number);
  if (slot == nullptr) return nullptr;
  // A text with no room is refused like a search that failed to start: the number's earlier
  // search is closed all the same and the number holds no listing. Searching a cut text would
  // list some other directory, or write past the buffer.
  if (!textFits) return nullptr;

  // Started on the extended-length form where the text has one, so that the search reaches a
  // directory however long the current directory's own path is, and names ending in a dot or a
  // blank are not rewritten on the way. The room above still bounds the walk, and ends the laps
  // of a link that leads back to an ancestor.
  const char16_t* searchText = ExtendedSearchText(text) ? gExtendedText : text;

  // Only the start of a search is redirected on 64-bit Windows; an open search handle is not, so
  // stepping it needs nothing. The search's error code survives the redirection coming back on.
  slot->searchHandle = WithoutFileSystemRedirection(
      [&] { return find_calls::FindFirst(WideText(searchText), &slot->findData); });
  if (IsLiveSearch(slot->searchHandle)) {
    slot->firstEntryDelivered = 0;
    return slot;
  }
  if (slot->searchHandle == INVALID_HANDLE_VALUE &&
      find_calls::LastError() == ERROR_FILE_NOT_FOUND) {
    // Nothing matched: an open listing that delivers nothing and has no current entry.
    slot->firstEntryDelivered = 1;
    slot->findData = WIN32_FIND_DATAW();
    return slot;
  }
  // Any other error, or a null handle, which no search should return: no listing. The error code
  // is not passed on; the walk only skips the directory.
  slot->searchHandle = nullptr;
  return nullptr;
}

bool AdvanceListing(int32_t number) {
  ListingSlot* slot = LookUpListing(number);
  if (slot == nullptr || slot->searchHandle == INVALID_HANDLE_VALUE) return false;
  // FindFirstFileW already placed the first entry; handing it out needs no platform call.
  if (slot->firstEntryDelivered == 0) {
    slot->firstEntryDelivered = 1;
    return true;
  }
  // The end of the directory and an error are alike: no next entry. The search stays open until
  // the number is opened again.
  return find_calls::FindNext(slot->searchHandle, &slot->findData) != FALSE;
}

EntryKind ListingEntryKind(int32_t number) {
  const ListingSlot* slot = LookUpListing(number);
  if (slot == nullptr) return EntryKind::None;
  // The directory bit alone decides: junctions and directory links carry it as well and are
  // entered; hidden, system and read-only bits change nothing.
  return (slot->findData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Directory
                                                                           : EntryKind::Other;
}

std::u16string ListingEntryName(int32_t number) {
  const ListingSlot* slot = LookUpListing(number);
  if (slot == nullptr) return std::u16string();
  // The long name only: cAlternateFileName holds the 8.3 name, which the walk must never measure.
  const WCHAR* name = slot->findData.cFileName;
  const size_t room = sizeof(slot->findData.cFileName) / sizeof(slot->findData.cFileName[0]);
  size_t length = 0;
  while (length < room && name[length] != L'\0') ++length;
  return std::u16string(name, name + length);
}

}  // namespace farthom

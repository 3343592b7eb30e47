// The numbered directory listings' process-wide table and records, and the platform calls below.
//
// core/platform.h declares the four operations the walk uses; this header adds what the tests of
// the Windows layer need to see: the records themselves and the two internal operations.
#pragma once

#include <cstdint>

#include "core/platform.h"
#include "platform/windows/windows_header.h"

namespace farthom {

// One listing number's record: created zero-filled on the number's first opening and reused in
// place by every later one.
struct ListingSlot {
  // A live search; INVALID_HANDLE_VALUE for an open listing that found nothing; null when the
  // number holds no listing.
  HANDLE searchHandle;
  // 0 while the entry FindFirstFileW found has not been handed out; 1 once it has, and for an
  // open listing that found nothing.
  uint32_t firstEntryDelivered;
  // The current entry; only dwFileAttributes and cFileName are read.
  WIN32_FIND_DATAW findData;
};

struct ListingTable {
  int32_t growthStep;  // slots added beyond the number that made the table grow
  int32_t slotCount;
  ListingSlot** slots;  // null for a number never opened
  void (*release)(int32_t number);
};

// The table; all zero until the first OpenListing creates it with 16 slots.
extern ListingTable gListingTable;

// The number's record when it holds a listing (inside the table, with a record whose search
// handle is not null); otherwise null.
ListingSlot* LookUpListing(int32_t number);

// Closes the number's search, if it is live, and zero-fills its record; does nothing when the
// number holds no listing.
void ReleaseListing(int32_t number);

}  // namespace farthom

// Finds the longest relative path below the current directory in one depth-first pass.
#pragma once

#include <cstdint>
#include <string>

namespace farthom {

struct WalkTotals {
  // Entries seen, files and directories alike, "." and ".." never. Counted in 64 bits so that a
  // tree of more than 2^31 - 1 entries cannot wrap into a negative figure.
  int64_t entryCount = 0;
  // The longest relative entry path met so far; the first one met wins a tie.
  std::u16string longestPath;
};

// The walk's running totals, shared by every level of the recursion.
extern WalkTotals gWalkTotals;

// Walks the directory `directory` ("" or a relative prefix ending in "\") with listing number
// `depth`, and everything below it, adding to gWalkTotals.
void WalkTree(const std::u16string& directory, int32_t depth);

}  // namespace farthom

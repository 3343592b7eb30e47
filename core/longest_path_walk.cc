// The longest-path walk: pre-order, in the order the listings deliver, no storage per entry.
#include "core/longest_path_walk.h"

#include "core/platform.h"

namespace farthom {

WalkTotals gWalkTotals;

namespace {

bool IsDotOrDotDot(const std::u16string& name) { return name == u"." || name == u".."; }

}  // namespace

void WalkTree(const std::u16string& directory, int32_t depth) {
  // A directory that cannot be listed adds nothing below it; the level above already counted it.
  if (OpenListing(depth, directory, u"*.*") == nullptr) return;

  // One entry text per level, reused so that stepping allocates no more than the name.
  std::u16string entry;
  while (AdvanceListing(depth)) {
    const EntryKind kind = ListingEntryKind(depth);
    const std::u16string name = ListingEntryName(depth);
    if (IsDotOrDotDot(name)) continue;

    ++gWalkTotals.entryCount;
    entry.assign(directory);
    entry.append(name);
    // Strictly longer only: of equally long paths the first one met stays.
    if (entry.size() > gWalkTotals.longestPath.size()) gWalkTotals.longestPath = entry;

    if (kind == EntryKind::Directory) {
      entry.push_back(u'\\');
      // The listing number is the depth, so the level below never reuses this level's listing.
      WalkTree(entry, depth + 1);
    }
  }
}

}  // namespace farthom

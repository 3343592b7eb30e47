// In-memory stand-ins for every platform operation the core calls, and records of what was asked.
//
// A test fills `gFake` (parameters, a tree of directories and files, path probes, the dialog's
// answer), runs the core, and reads back what was touched and in which order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "core/platform.h"
#include "core/report.h"

namespace farthom {

struct FakeEntry {
  std::u16string name;
  EntryKind kind = EntryKind::Other;
};

struct FakeListing {
  bool open = false;
  std::vector<FakeEntry> entries;
  size_t position = 0;       // entries handed out so far
  std::u16string directory;  // the prefix it was opened with, as the caller passed it
};

// One opening asked of the listings, and whether it gave an open listing.
struct FakeOpening {
  int32_t number = 0;
  std::u16string directory;
  bool open = false;
};

// One entry a listing handed out: the prefix its listing was opened with, and the entry.
struct FakeDelivery {
  std::u16string directory;
  FakeEntry entry;
};

// One Explorer launch, with what the core handed over.
struct FakeExplorerLaunch {
  std::u16string targetPath;
  std::u16string longestPath;
  bool entered = false;
  bool operator==(const FakeExplorerLaunch& other) const {
    return std::tie(targetPath, longestPath, entered) ==
           std::tie(other.targetPath, other.longestPath, other.entered);
  }
};

struct FakePlatform {
  // Parameters handed out one by one; the empty text once they are used up.
  std::vector<std::u16string> parameters;
  size_t parametersRead = 0;

  // The tree below the current directory: a directory's relative path (no trailing "\") to its
  // entries in listing order. "" is the top. Real listings start with "." and ".." and so do
  // these, unless `dotEntries` is cleared.
  std::map<std::u16string, std::vector<FakeEntry>> directories;
  std::set<std::u16string> unlistable;  // directories whose opening fails
  bool dotEntries = true;
  std::map<int32_t, FakeListing> listings;
  std::vector<std::u16string> searchTexts;  // every search text asked for, in order
  // Links (junctions): a directory path whose listing is that of the target path, "" for the top.
  // Paths below a link resolve through it, so a link to an ancestor makes a loop.
  std::map<std::u16string, std::u16string> junctions;
  std::vector<FakeOpening> openings;     // every opening, in order
  std::vector<FakeDelivery> deliveries;  // every entry handed out, "." and ".." too, in order
  // Once this many entries have been handed out in all, every listing stops early, as when the
  // platform fails in the middle of a listing.
  size_t deliveryLimit = SIZE_MAX;

  // Path probes: attribute bits by path (missing: a failed query), and the directories that can
  // be made current.
  std::map<std::u16string, uint32_t> attributes;
  std::set<std::u16string> enterable;
  std::u16string currentDirectory;
  std::vector<std::u16string> directoryChanges;

  // Follow-up actions.
  uintptr_t clipboardResult = 1;
  std::vector<std::u16string> clipboardTexts;
  int32_t buttonCode = 7;  // IDNO unless a test scripts another answer
  std::vector<ReportRequest> reports;
  std::vector<FakeExplorerLaunch> explorerLaunches;

  int commonControlsStarts = 0;
  // Every operation by name, in call order, for the tests of order.
  std::vector<std::string> calls;
};

extern FakePlatform gFake;

// Clears every record and script.
void ResetFake();

// Adds an entry at the end of its parent's listing; `path` is relative, components joined by "\".
void AddFakeFile(const std::u16string& path);
void AddFakeDirectory(const std::u16string& path);

}  // namespace farthom

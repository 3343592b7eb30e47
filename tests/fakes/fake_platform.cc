// The fake platform: scripted inputs, an in-memory tree and recorders.
#include "tests/fakes/fake_platform.h"

#include "core/platform.h"

namespace farthom {

FakePlatform gFake;

// The fake's listing record is the FakeListing itself.
struct ListingSlot : FakeListing {};

namespace {

std::u16string ParentOf(const std::u16string& path) {
  const size_t slash = path.rfind(u'\\');
  return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
}

std::u16string NameOf(const std::u16string& path) {
  const size_t slash = path.rfind(u'\\');
  return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

void AddEntry(const std::u16string& path, EntryKind kind) {
  gFake.directories[ParentOf(path)].push_back(FakeEntry{NameOf(path), kind});
  if (kind == EntryKind::Directory) gFake.directories[path];
}

// The target of the link at `path`, or none.
const std::u16string* LinkTarget(const std::u16string& path) {
  for (const auto& link : gFake.junctions) {
    if (link.first == path) return &link.second;
  }
  return nullptr;
}

// Resolves links one component at a time, as the file system does (a link's target is taken as a
// plain directory path). False when links lead to links more than 32 times in a row, where the
// real system gives up too.
bool ResolveLinks(std::u16string& path) {
  if (gFake.junctions.empty()) return true;
  std::u16string resolved;
  bool atTop = true;
  size_t start = 0;
  for (;;) {
    const size_t end = path.find(u'\\', start);
    if (!atTop) resolved.push_back(u'\\');
    resolved.append(path, start, end == std::u16string::npos ? std::u16string::npos : end - start);
    atTop = false;
    for (int hops = 0;; ++hops) {
      const std::u16string* target = LinkTarget(resolved);
      if (target == nullptr) break;
      if (hops == 32) return false;
      resolved = *target;
      atTop = resolved.empty();
    }
    if (end == std::u16string::npos) break;
    start = end + 1;
  }
  path = std::move(resolved);
  return true;
}

FakeListing* LookUp(int32_t number) {
  auto found = gFake.listings.find(number);
  if (found == gFake.listings.end() || !found->second.open) return nullptr;
  return &found->second;
}

}  // namespace

void ResetFake() {
  gFake = FakePlatform();
  gFake.directories[u""];
}

void AddFakeFile(const std::u16string& path) { AddEntry(path, EntryKind::Other); }
void AddFakeDirectory(const std::u16string& path) { AddEntry(path, EntryKind::Directory); }

void StartCommonControls() {
  gFake.calls.push_back("StartCommonControls");
  ++gFake.commonControlsStarts;
}

std::u16string NextParameter() {
  gFake.calls.push_back("NextParameter");
  if (gFake.parametersRead >= gFake.parameters.size()) return std::u16string();
  return gFake.parameters[gFake.parametersRead++];
}

std::u16string LowerCaseText(const std::u16string& text) {
  // ASCII and Latin-1 capitals are enough for the options; the real mapping is the system's.
  std::u16string lower = text;
  for (char16_t& unit : lower) {
    if ((unit >= u'A' && unit <= u'Z') || (unit >= 0xC0 && unit <= 0xDE && unit != 0xD7)) {
      unit = static_cast<char16_t>(unit + 0x20);
    }
  }
  return lower;
}

uint32_t PathAttributes(const std::u16string& path) {
  gFake.calls.push_back("PathAttributes");
  auto found = gFake.attributes.find(path);
  return found == gFake.attributes.end() ? 0xFFFFFFFFu : found->second;
}

bool ChangeCurrentDirectory(const std::u16string& path) {
  gFake.calls.push_back("ChangeCurrentDirectory");
  gFake.directoryChanges.push_back(path);
  if (path.empty() || gFake.enterable.count(path) == 0) return false;
  gFake.currentDirectory = path;
  return true;
}

ListingSlot* OpenListing(int32_t number, const std::u16string& directory,
                         const std::u16string& pattern) {
  gFake.calls.push_back("OpenListing");
  FakeListing& listing = gFake.listings[number];
  listing = FakeListing();
  listing.directory = directory;
  gFake.openings.push_back(FakeOpening{number, directory, false});

  std::u16string search = directory;
  if (!search.empty() && search.back() != u'\\') search.push_back(u'\\');
  search += pattern.empty() ? u"*.*" : pattern;
  gFake.searchTexts.push_back(search);
  if (search.size() > kSearchTextLength) return nullptr;

  // The tree is keyed by paths without the walk's trailing separator.
  std::u16string key = directory;
  if (!key.empty() && key.back() == u'\\') key.pop_back();
  std::u16string resolved = key;
  if (!ResolveLinks(resolved)) return nullptr;
  auto found = gFake.directories.find(resolved);
  if (found == gFake.directories.end() || gFake.unlistable.count(key) != 0 ||
      gFake.unlistable.count(resolved) != 0) {
    return nullptr;
  }

  listing.open = true;
  gFake.openings.back().open = true;
  if (gFake.dotEntries) {
    listing.entries.push_back(FakeEntry{u".", EntryKind::Directory});
    listing.entries.push_back(FakeEntry{u"..", EntryKind::Directory});
  }
  listing.entries.insert(listing.entries.end(), found->second.begin(), found->second.end());
  return static_cast<ListingSlot*>(&listing);
}

bool AdvanceListing(int32_t number) {
  FakeListing* listing = LookUp(number);
  if (listing == nullptr || listing->position >= listing->entries.size()) return false;
  if (gFake.deliveries.size() >= gFake.deliveryLimit) return false;
  ++listing->position;
  gFake.deliveries.push_back(
      FakeDelivery{listing->directory, listing->entries[listing->position - 1]});
  return true;
}

EntryKind ListingEntryKind(int32_t number) {
  FakeListing* listing = LookUp(number);
  if (listing == nullptr || listing->position == 0) return EntryKind::None;
  return listing->entries[listing->position - 1].kind;
}

std::u16string ListingEntryName(int32_t number) {
  FakeListing* listing = LookUp(number);
  if (listing == nullptr || listing->position == 0) return std::u16string();
  return listing->entries[listing->position - 1].name;
}

uintptr_t CopyTextToClipboard(const std::u16string& text) {
  gFake.calls.push_back("CopyTextToClipboard");
  gFake.clipboardTexts.push_back(text);
  return gFake.clipboardResult;
}

int32_t ShowReport(const ReportRequest& request) {
  gFake.calls.push_back("ShowReport");
  gFake.reports.push_back(request);
  return gFake.buttonCode;
}

void OpenExplorerAt(const std::u16string& targetPath, const std::u16string& longestPath,
                    bool entered) {
  gFake.calls.push_back("OpenExplorerAt");
  gFake.explorerLaunches.push_back({targetPath, longestPath, entered});
}

}  // namespace farthom

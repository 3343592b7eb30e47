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

void AddEntry(const std::u16string& path, int32_t kind) {
  gFake.directories[ParentOf(path)].push_back(FakeEntry{NameOf(path), kind});
  if (kind == 2) gFake.directories[path];
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

void AddFakeFile(const std::u16string& path) { AddEntry(path, 1); }
void AddFakeDirectory(const std::u16string& path) { AddEntry(path, 2); }

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

  std::u16string search = directory;
  if (!search.empty() && search.back() != u'\\') search.push_back(u'\\');
  search += pattern.empty() ? u"*.*" : pattern;
  gFake.searchTexts.push_back(search);
  if (search.size() > kFakeSearchTextRoom) return nullptr;

  // The tree is keyed by paths without the walk's trailing separator.
  std::u16string key = directory;
  if (!key.empty() && key.back() == u'\\') key.pop_back();
  auto found = gFake.directories.find(key);
  if (found == gFake.directories.end() || gFake.unlistable.count(key) != 0) return nullptr;

  listing.open = true;
  if (gFake.dotEntries) {
    listing.entries.push_back(FakeEntry{u".", 2});
    listing.entries.push_back(FakeEntry{u"..", 2});
  }
  listing.entries.insert(listing.entries.end(), found->second.begin(), found->second.end());
  return static_cast<ListingSlot*>(&listing);
}

bool AdvanceListing(int32_t number) {
  FakeListing* listing = LookUp(number);
  if (listing == nullptr || listing->position >= listing->entries.size()) return false;
  ++listing->position;
  return true;
}

int32_t ListingEntryKind(int32_t number) {
  FakeListing* listing = LookUp(number);
  if (listing == nullptr || listing->position == 0) return 0;
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

void OpenExplorerAt(const std::u16string& path) {
  gFake.calls.push_back("OpenExplorerAt");
  gFake.explorerPaths.push_back(path);
}

}  // namespace farthom

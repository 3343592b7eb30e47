// The numbered listings on real temporary directories, with every platform call counted.
#include "platform/windows/listing_table.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/platform/listing_test_support.h"
#include "tools/support/temporary_tree.h"
#include "tools/support/utf8.h"

namespace farthom {
namespace {

using Calls = std::vector<std::string>;
using Entries = std::map<std::u16string, int32_t>;  // name to kind

class Listings : public testing::Test {
 protected:
  void SetUp() override {
    DiscardListingTable();
    CountPlatformCalls();
    ASSERT_TRUE(tree.made() && tree.Enter());
  }
  void TearDown() override {
    DiscardListingTable();
    RestorePlatformCalls();
  }

  TemporaryTree tree{NewTemporaryPath(u"farthom-listings")};
};

void ExpectNoListing(int32_t number) {
  SCOPED_TRACE(number);
  EXPECT_FALSE(AdvanceListing(number));
  EXPECT_EQ(ListingEntryKind(number), EntryKind::None);
  EXPECT_EQ(ListingEntryName(number), u"");
}

// Every entry still to come in a listing.
Entries ListAll(int32_t number) {
  Entries entries;
  while (AdvanceListing(number))
    entries[ListingEntryName(number)] = static_cast<int32_t>(ListingEntryKind(number));
  return entries;
}

TEST_F(Listings, NumbersWithoutAListingAnswerFalseZeroAndEmpty) {
  // Before the table exists, nothing is asked of the platform.
  for (int32_t number : {0, 1, 15, 16, 1000, -1}) ExpectNoListing(number);
  EXPECT_EQ(gListingTable.slots, nullptr);
  EXPECT_EQ(gCalls.calls, Calls());
}

TEST_F(Listings, TableIsCreatedWith16SlotsAndGrowsToTheNumberPlus16) {
  struct GrowthCase {
    const char* why;
    std::vector<int32_t> opened;
    std::vector<int32_t> slotCounts;  // after each opening
  };
  const GrowthCase cases[] = {
      {"the first opening creates 16 slots", {0}, {16}},
      {"15 still fits the first 16", {15}, {16}},
      {"16 grows a new table to 32", {16}, {32}},
      {"40 grows a new table to 56", {40}, {56}},
      {"16 and then 40", {16, 40}, {32, 56}},
      {"a number inside the grown table does not grow it", {40, 20}, {56, 56}},
  };
  for (const GrowthCase& c : cases) {
    SCOPED_TRACE(c.why);
    DiscardListingTable();
    for (size_t i = 0; i < c.opened.size(); ++i) {
      EXPECT_NE(OpenListing(c.opened[i], u"", u"*.*"), nullptr);
      EXPECT_EQ(gListingTable.growthStep, 16);
      EXPECT_EQ(gListingTable.slotCount, c.slotCounts[i]);
    }
    for (int32_t number = 0; number < gListingTable.slotCount + 20; ++number) {
      bool opened = false;
      for (int32_t n : c.opened) opened = opened || n == number;
      if (opened) {
        EXPECT_NE(LookUpListing(number), nullptr);
      } else {
        ExpectNoListing(number);
      }
    }
  }
}

TEST_F(Listings, FirstAdvanceMakesNoCallAndTheEndIsAskedAgain) {
  ASSERT_TRUE(tree.MakeFile(u"file"));
  ASSERT_TRUE(tree.MakeDirectory(u"directory"));
  ASSERT_NE(OpenListing(0, u"", u"*.*"), nullptr);
  EXPECT_EQ(gCalls.searchTexts, std::vector<std::u16string>({ExtendedFromHere(u"*.*")}));

  // Kind and name already describe the entry FindFirstFileW found; handing it out asks nothing.
  const std::u16string firstName = ListingEntryName(0);
  const EntryKind firstKind = ListingEntryKind(0);
  ASSERT_TRUE(AdvanceListing(0));
  EXPECT_EQ(gCalls.calls, Calls({"FindFirstFileW"}));
  EXPECT_EQ(ListingEntryName(0), firstName);
  EXPECT_EQ(ListingEntryKind(0), firstKind);

  Entries entries = ListAll(0);
  entries[firstName] = static_cast<int32_t>(firstKind);
  EXPECT_EQ(entries, (Entries{{u".", 2}, {u"..", 2}, {u"file", 1}, {u"directory", 2}}));
  // One FindNextFileW for each later entry and one that found the end.
  Calls expected = {"FindFirstFileW"};
  expected.insert(expected.end(), entries.size(), "FindNextFileW");
  EXPECT_EQ(gCalls.calls, expected);

  // Past the end the platform is asked again, and the search stays open.
  EXPECT_FALSE(AdvanceListing(0));
  expected.push_back("FindNextFileW");
  EXPECT_EQ(gCalls.calls, expected);
  EXPECT_EQ(gCalls.liveSearches.size(), 1u);
}

TEST_F(Listings, APatternMatchingNothingGivesAnOpenEmptyListing) {
  ASSERT_TRUE(tree.MakeFile(u"file"));
  EXPECT_NE(OpenListing(0, u"", u"nothing-matches-*.none"), nullptr);
  EXPECT_FALSE(AdvanceListing(0));
  EXPECT_FALSE(AdvanceListing(0));
  EXPECT_EQ(gCalls.calls, Calls({"FindFirstFileW", "GetLastError"}));
}

TEST_F(Listings, AMissingDirectoryGivesNoListing) {
  EXPECT_EQ(OpenListing(3, u"no-such-directory", u"*.*"), nullptr);
  EXPECT_EQ(gCalls.searchTexts,
            std::vector<std::u16string>({ExtendedFromHere(u"no-such-directory\\*.*")}));
  ExpectNoListing(3);
  EXPECT_EQ(gCalls.calls, Calls({"FindFirstFileW", "GetLastError"}));
}

TEST_F(Listings, OnlyERROR_FILE_NOT_FOUNDOpensAnEmptyListing) {
  struct ErrorCase {
    const char* why;
    HANDLE handle;
    DWORD error;
    bool opens;
  };
  const ErrorCase cases[] = {
      {"nothing matched: open and empty", INVALID_HANDLE_VALUE, ERROR_FILE_NOT_FOUND, true},
      {"no such path", INVALID_HANDLE_VALUE, ERROR_PATH_NOT_FOUND, false},
      {"access denied", INVALID_HANDLE_VALUE, ERROR_ACCESS_DENIED, false},
      {"a null handle is not a search, whatever the last error says", nullptr, ERROR_FILE_NOT_FOUND,
       false},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.why);
    gCalls.failFindFirst = true;
    gCalls.failedHandle = c.handle;
    gCalls.failedError = c.error;
    EXPECT_EQ(OpenListing(0, u"", u"*.*") != nullptr, c.opens);
    EXPECT_EQ(LookUpListing(0) != nullptr, c.opens);
    EXPECT_FALSE(AdvanceListing(0));
    if (!c.opens) ExpectNoListing(0);
  }
  // None of these searches is ever closed, not even by the reopenings.
  EXPECT_EQ(gCalls.closedHandles.size(), 0u);
}

TEST_F(Listings, ReopeningClosesOnlyALiveSearchAndBeforeTheNewOne) {
  ASSERT_TRUE(tree.MakeFile(u"file"));
  struct ReopenCase {
    const char* why;
    std::u16string firstDirectory;
    std::u16string firstPattern;
    bool readToEnd;
    bool closesOnce;
  };
  const ReopenCase cases[] = {
      {"a live search is closed once", u"", u"*.*", false, true},
      {"a live search that reached its end is closed too", u"", u"*.*", true, true},
      {"an empty listing has nothing to close", u"", u"nothing-*.none", false, false},
      {"a failed opening has nothing to close", u"no-such-directory", u"*.*", false, false},
  };
  for (const ReopenCase& c : cases) {
    SCOPED_TRACE(c.why);
    OpenListing(5, c.firstDirectory, c.firstPattern);
    if (c.readToEnd) ListAll(5);
    const ListingSlot* slot = LookUpListing(5);
    const HANDLE earlier = slot == nullptr ? nullptr : slot->searchHandle;
    gCalls.calls.clear();
    gCalls.closedHandles.clear();

    const ListingSlot* reopened = OpenListing(5, u"", u"*.*");
    ASSERT_NE(reopened, nullptr);
    Calls expected = {"FindFirstFileW"};
    if (c.closesOnce) {
      expected.insert(expected.begin(), "FindClose");
      EXPECT_EQ(gCalls.closedHandles, std::vector<HANDLE>({earlier}));
    }
    EXPECT_EQ(gCalls.calls, expected);
    // The record is reused in place.
    if (slot != nullptr) {
      EXPECT_EQ(reopened, slot);
    }
    EXPECT_EQ(ListAll(5).count(u"file"), 1u);
  }
}

TEST_F(Listings, ReopeningOneNumberLeavesTheOthersAlone) {
  ASSERT_TRUE(tree.MakeDirectory(u"below"));
  ASSERT_TRUE(tree.MakeFile(u"below\\inner"));
  ASSERT_NE(OpenListing(0, u"", u"*.*"), nullptr);
  ASSERT_NE(OpenListing(1, u"below\\", u"*.*"), nullptr);
  const HANDLE one = LookUpListing(1)->searchHandle;
  ASSERT_NE(OpenListing(1, u"below", u"*.*"), nullptr);
  EXPECT_EQ(gCalls.closedHandles, std::vector<HANDLE>({one}));
  EXPECT_EQ(ListAll(0), (Entries{{u".", 2}, {u"..", 2}, {u"below", 2}}));
  EXPECT_EQ(ListAll(1), (Entries{{u".", 2}, {u"..", 2}, {u"inner", 1}}));
}

// A chain of directories whose relative prefix, with its final "\", is exactly 258 characters.
std::u16string MakePrefixOf258(TemporaryTree& tree) {
  std::u16string prefix;
  for (int level = 0; level < 25; ++level) {
    prefix += u"abcdefghi";
    if (!tree.MakeDirectory(prefix)) return u"";
    prefix += u"\\";
  }
  prefix += u"abcdefg";
  if (!tree.MakeDirectory(prefix)) return u"";
  prefix += u"\\";
  return prefix;
}

TEST_F(Listings, SearchTextsOf261FitAndLongerOnesAreRefusedWhole) {
  const std::u16string prefix = MakePrefixOf258(tree);
  ASSERT_EQ(prefix.size(), 258u);
  ASSERT_TRUE(tree.MakeFile(prefix + u"inside"));
  const std::u16string withoutSeparator = prefix.substr(0, 257);

  struct BoundaryCase {
    const char* why;
    std::u16string directory;
    std::u16string pattern;
    bool fits;
  };
  const BoundaryCase cases[] = {
      {"258 ending in a separator, with *.*: 261", prefix, u"*.*", true},
      {"257 needing the separator, with *.*: 261", withoutSeparator, u"*.*", true},
      {"257 needing the separator, with the pattern absent: 261", withoutSeparator, u"", true},
      {"259 ending in a separator: 262", prefix + u"x\\", u"*.*", false},
      {"258 needing the separator: 262", withoutSeparator + u"x", u"*.*", false},
      {"a pattern that takes the text past the room", prefix, u"*.**", false},
  };
  for (const BoundaryCase& c : cases) {
    SCOPED_TRACE(c.why);
    // The number holds a live search first: a refused text closes it all the same.
    ASSERT_NE(OpenListing(7, u"", u"*.*"), nullptr);
    gCalls.calls.clear();
    gCalls.searchTexts.clear();

    const ListingSlot* slot = OpenListing(7, c.directory, c.pattern);
    EXPECT_EQ(slot != nullptr, c.fits);
    if (c.fits) {
      // The whole text of 261 reached the platform and listed the deepest directory.
      EXPECT_EQ(gCalls.searchTexts,
                std::vector<std::u16string>({ExtendedFromHere(prefix + u"*.*")}));
      EXPECT_EQ(ListAll(7), (Entries{{u".", 2}, {u"..", 2}, {u"inside", 1}}));
    } else {
      // Nothing was searched, not even in part, and the number holds no listing.
      EXPECT_EQ(gCalls.calls, Calls({"FindClose"}));
      ExpectNoListing(7);
    }
  }
}

TEST_F(Listings, NamesComeBackExactlyAndKindsFromTheDirectoryBitAlone) {
  const Entries made = {
      {u"with space", 1},
      {u"with, comma", 1},
      {u"...", 2},
      {u".leading-dot", 1},
      {u".leading-dot-directory", 2},
      {u"trailing dots...", 1},
      {u"trailing space ", 1},
      {u"\U0001F600 smile", 1},
      {u"x\U00010348y", 2},
      {u"A long name that has no room in eight-three.text", 1},
      {u"hidden and system", 1},
  };
  for (const auto& entry : made) {
    SCOPED_TRACE(Utf8(entry.first));
    if (entry.second == 2) {
      ASSERT_TRUE(tree.MakeDirectory(entry.first));
    } else {
      ASSERT_TRUE(tree.MakeFile(entry.first, entry.first == u"hidden and system"
                                                 ? FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM
                                                 : FILE_ATTRIBUTE_NORMAL));
    }
  }
  ASSERT_NE(OpenListing(0, u"", u""), nullptr);
  Entries expected = made;
  expected[u"."] = 2;
  expected[u".."] = 2;
  EXPECT_EQ(ListAll(0), expected);
}

}  // namespace
}  // namespace farthom

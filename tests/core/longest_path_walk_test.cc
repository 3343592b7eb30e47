// The walk over the in-memory tree: counting, the longest path, order and skipped directories.
#include "core/longest_path_walk.h"

#include <gtest/gtest.h>

#include "tests/fakes/fake_platform.h"

namespace farthom {
namespace {

// One tree per case: entries in listing order, "/" at the end marking a directory.
struct WalkCase {
  const char* why;
  std::vector<std::u16string> entries;
  std::vector<std::u16string> unlistable;
  int64_t entryCount;
  std::u16string longestPath;
};

void BuildTree(const std::vector<std::u16string>& entries) {
  for (const std::u16string& entry : entries) {
    if (!entry.empty() && entry.back() == u'/') {
      AddFakeDirectory(entry.substr(0, entry.size() - 1));
    } else {
      AddFakeFile(entry);
    }
  }
}

WalkTotals Walk() {
  gWalkTotals = WalkTotals();
  WalkTree(u"", 0);
  return gWalkTotals;
}

TEST(WalkTree, CountsEntriesAndKeepsTheLongestPath) {
  const WalkCase cases[] = {
      {"an empty directory", {}, {}, 0, u""},
      {"a single file", {u"a"}, {}, 1, u"a"},
      {"a file inside a directory", {u"x/", u"x\\yy"}, {}, 2, u"x\\yy"},
      {"equal lengths keep the first met", {u"abc", u"xyz"}, {}, 2, u"abc"},
      {"equal lengths keep the first met, other order", {u"xyz", u"abc"}, {}, 2, u"xyz"},
      {"a directory's name is part of its entries' paths",
       {u"verylongname/", u"verylongname\\a"},
       {},
       2,
       u"verylongname\\a"},
      {"an empty directory can win", {u"ab", u"verylongname/"}, {}, 2, u"verylongname"},
      {"three dots and a leading dot are ordinary names", {u".../", u".hidden"}, {}, 2, u".hidden"},
      {"an entry inside a three-dot directory", {u".../", u"...\\b"}, {}, 2, u"...\\b"},
      {"an unlistable directory is counted once and not entered",
       {u"locked/", u"locked\\deep-inside-name", u"b"},
       {u"locked"},
       2,
       u"locked"},
      {"the walk goes on after an unlistable directory",
       {u"locked/", u"locked\\x", u"open/", u"open\\file"},
       {u"locked"},
       3,
       u"open\\file"},
      {"a deeper path only wins when strictly longer",
       {u"abcdef", u"a/", u"a\\bcde"},
       {},
       3,
       u"abcdef"},
      {"every level adds up",
       {u"a/", u"a\\b/", u"a\\b\\c", u"a\\d", u"e/", u"e\\f"},
       {},
       6,
       u"a\\b\\c"},
      {"non-BMP names are measured in code units",
       {u"\U0001F600\U0001F600", u"abc"},
       {},
       2,
       u"\U0001F600\U0001F600"},
  };
  for (const WalkCase& c : cases) {
    SCOPED_TRACE(c.why);
    ResetFake();
    BuildTree(c.entries);
    for (const std::u16string& locked : c.unlistable) gFake.unlistable.insert(locked);
    const WalkTotals totals = Walk();
    EXPECT_EQ(totals.entryCount, c.entryCount);
    EXPECT_EQ(totals.longestPath, c.longestPath);
  }
}

TEST(WalkTree, IsPreOrderWithOneListingNumberPerDepth) {
  ResetFake();
  BuildTree({u"a/", u"a\\b/", u"a\\b\\c", u"d/"});
  Walk();
  // Each directory is opened as it is met, with its own prefix, and listing numbers follow depth.
  const std::vector<std::u16string> expected = {u"*.*", u"a\\*.*", u"a\\b\\*.*", u"d\\*.*"};
  EXPECT_EQ(gFake.searchTexts, expected);
  EXPECT_TRUE(gFake.listings.count(2));
  EXPECT_FALSE(gFake.listings.count(3));
}

TEST(WalkTree, DotAndDotDotAreNeverCounted) {
  ResetFake();
  BuildTree({u"sub/", u"sub\\f"});
  EXPECT_EQ(Walk().entryCount, 2);
  gFake.dotEntries = false;
  EXPECT_EQ(Walk().entryCount, 2);
}

TEST(WalkTree, StopsWhereThePrefixOutgrowsTheListing) {
  // A chain of directories named with 9 characters: each level's prefix grows by 10 ("\"), and
  // the listing refuses the first prefix whose search text passes 261 characters.
  ResetFake();
  const std::u16string name = u"directory";
  std::u16string path;
  for (int level = 0; level < 40; ++level) {
    path += (level == 0 ? u"" : u"\\") + name;
    AddFakeDirectory(path);
  }
  const WalkTotals totals = Walk();
  // Prefixes of 10 * k characters are listable while 10 * k + 3 <= 261, so k up to 25: levels
  // 0..25 are listed, which meets directories 1..26; the 26th is counted and not entered.
  EXPECT_EQ(totals.entryCount, 26);
  EXPECT_EQ(totals.longestPath.size(), 26u * 10 - 1);
  EXPECT_EQ(gFake.searchTexts.back().size(), 263u);
}

TEST(WalkTree, LoopingTreeEndsAtTheListingLimit) {
  // A link to its own ancestor looks, to the listings, like an endless chain of the same
  // directory; the fake models it as one directory whose prefix keeps growing.
  ResetFake();
  gFake.dotEntries = false;
  gFake.directories[u""] = {FakeEntry{u"loop", EntryKind::Directory}};
  std::u16string prefix;
  for (int level = 0; level < 100; ++level) {
    prefix += (level == 0 ? u"" : u"\\") + std::u16string(u"loop");
    gFake.directories[prefix] = {FakeEntry{u"loop", EntryKind::Directory}};
  }
  const WalkTotals totals = Walk();
  // Prefixes of 5 * k characters are listable up to 5 * k + 3 <= 261, k = 51: 52 entries met.
  EXPECT_EQ(totals.entryCount, 52);
}

TEST(WalkTree, LinkToAnAncestorIsFollowedUntilTheListingLimit) {
  // The link a\j leads back to the top, so every lap adds "a\j\" (4 units) to the prefix. The top
  // is listed again while its prefix of 4k units fits (4k + 3 <= 261, k up to 64), and a\ below
  // it as well (4k + 5 <= 261): 65 laps meeting a, j and f.
  ResetFake();
  gFake.dotEntries = false;
  BuildTree({u"a/", u"a\\j/", u"a\\f"});
  gFake.junctions[u"a\\j"] = u"";
  const WalkTotals totals = Walk();
  EXPECT_EQ(totals.entryCount, 65 * 3);
  std::u16string longest;
  for (int lap = 0; lap < 64; ++lap) longest += u"a\\j\\";
  EXPECT_EQ(totals.longestPath, longest + u"a\\j");
  // The 66th lap's top is asked for, with a search text of 263 units, and refused.
  EXPECT_EQ(gFake.searchTexts.back(), longest + u"a\\j\\*.*");
  EXPECT_FALSE(gFake.openings.back().open);
}

}  // namespace
}  // namespace farthom

// The survey walk on real listings: deep trees, the search-text limit, a link to an ancestor.
#include <gtest/gtest.h>

#include <string>

#include "core/longest_path_walk.h"
#include "platform/windows/listing_table.h"
#include "platform/windows/wide_text.h"
#include "tests/platform/listing_test_support.h"
#include "tools/support/program_run.h"
#include "tools/support/temporary_tree.h"

namespace farthom {
namespace {

class WalkOnListings : public testing::Test {
 protected:
  void SetUp() override {
    DiscardListingTable();
    CountPlatformCalls();
    gWalkTotals = WalkTotals();
  }
  void TearDown() override {
    DiscardListingTable();
    RestorePlatformCalls();
  }

  TemporaryTree tree{NewTemporaryPath(u"farthom-listings")};
};

std::u16string Repeated(const std::u16string& text, int times) {
  std::u16string result;
  for (int i = 0; i < times; ++i) result += text;
  return result;
}

// The deepest listing number the walk opened, from the number of "\" in its search texts below
// `top`, the walked directory as the searches name it.
size_t DepthsListed(const std::u16string& top) {
  size_t deepest = 0;
  for (const std::u16string& text : gCalls.searchTexts) {
    EXPECT_EQ(text.compare(0, top.size(), top), 0) << "not below the walked directory";
    size_t separators = 0;
    for (size_t i = top.size(); i < text.size(); ++i) separators += text[i] == u'\\' ? 1 : 0;
    if (separators > deepest) deepest = separators;
  }
  return deepest + 1;
}

TEST_F(WalkOnListings, ATreeDeeperThan40LevelsGrowsTheTableTwice) {
  ASSERT_TRUE(tree.made() && tree.Enter());
  // d\d\...\d, 45 levels, each holding a file f; beside it a short branch e\e, so that the
  // listing numbers 1 and 2 are opened twice.
  std::u16string path;
  for (int level = 1; level <= 45; ++level) {
    path += u"d";
    ASSERT_TRUE(tree.MakeDirectory(path));
    ASSERT_TRUE(tree.MakeFile(path + u"\\f"));
    path += u"\\";
  }
  ASSERT_TRUE(tree.MakeDirectory(u"e"));
  ASSERT_TRUE(tree.MakeDirectory(u"e\\e"));

  WalkTree(u"", 0);
  EXPECT_EQ(gWalkTotals.entryCount, 45 + 45 + 2);
  EXPECT_EQ(gWalkTotals.longestPath, Repeated(u"d\\", 45) + u"f");
  // Numbers 0 to 45 were opened: 16 grew the table to 32, 32 grew it to 48.
  EXPECT_EQ(gListingTable.slotCount, 48);
  // One live search per depth at most, however often a depth was opened.
  EXPECT_EQ(DepthsListed(ExtendedFromHere(u"")), 46u);
  EXPECT_LE(gCalls.mostLiveSearches, 46u);
  EXPECT_EQ(gCalls.liveSearches.size(), 46u);
}

TEST_F(WalkOnListings, EveryPathIsReachedBelowALongFolderUpToThe258Bound) {
  // The walked folder's own path is about 150 characters, so that with Windows' limit on paths
  // that do not start with "\\?\" (modelled by the tests' FindFirst) a relative search would
  // fail from a prefix of about 105 characters on and leave the rest of the tree uncounted.
  const std::u16string base = NewTemporaryPath(u"farthom-long-folder");
  TemporaryTree longTree(base + u"-" +
                         std::u16string(base.size() < 149 ? 149 - base.size() : 0, u'p'));
  ASSERT_TRUE(longTree.made() && longTree.Enter());
  ASSERT_GE(longTree.Path().size(), 150u);
  // 25 levels of nine letters and one of seven, each holding a file f: the deepest prefix is
  // exactly 258 characters.
  ASSERT_TRUE(longTree.MakeFile(u"f"));
  std::u16string prefix;
  for (int level = 0; level < 26; ++level) {
    prefix += level < 25 ? u"abcdefghi" : u"abcdefg";
    ASSERT_TRUE(longTree.MakeDirectory(prefix));
    prefix += u"\\";
    ASSERT_TRUE(longTree.MakeFile(prefix + u"f"));
  }
  ASSERT_EQ(prefix.size(), 258u);
  ASSERT_TRUE(longTree.MakeFile(prefix + u"ff"));
  ASSERT_TRUE(longTree.MakeDirectory(prefix + u"x"));
  ASSERT_TRUE(longTree.MakeFile(prefix + u"x\\beyond the limit"));

  WalkTree(u"", 0);
  // The top's f, the 26 levels with an f each, ff and x; nothing inside x, whose prefix of 260
  // has no room in a search text.
  EXPECT_EQ(gWalkTotals.entryCount, 1 + 26 * 2 + 2);
  EXPECT_EQ(gWalkTotals.longestPath, prefix + u"ff");
  EXPECT_EQ(gCalls.searchTexts.size(), 27u);
  EXPECT_EQ(gCalls.searchTexts.back(), ExtendedFromHere(prefix + u"*.*"));
}

// The loop tree is made by the listing_loop_tree test fixture (make_loop_tree.cmake), beside this
// program: loop-directory holds note.txt and the link back-to-top, which points to "..", the
// tree's top. Wine lists a link to a directory as a directory.
TEST_F(WalkOnListings, ALinkToAnAncestorGoesRoundUntilTheLimitAndStops) {
  const std::u16string loopTree = BesideThisProgram(u"listing-loop-tree");
  const DWORD link = GetFileAttributesW(WideText(loopTree + u"\\loop-directory\\back-to-top"));
  ASSERT_TRUE(link != INVALID_FILE_ATTRIBUTES && (link & FILE_ATTRIBUTE_DIRECTORY) != 0)
      << "the loop tree is made by the listing_loop_tree fixture: run this through ctest";
  wchar_t previous[MAX_PATH + 1];
  ASSERT_NE(GetCurrentDirectoryW(MAX_PATH + 1, previous), 0u);
  ASSERT_TRUE(SetCurrentDirectoryW(WideText(loopTree)));
  const std::u16string top = ExtendedFromHere(u"");

  WalkTree(u"", 0);
  SetCurrentDirectoryW(previous);

  // Each round adds "loop-directory\back-to-top\", 27 characters. Nine rounds in, the prefix
  // "...\loop-directory\" is 258 characters and still listed; the link below it would be
  // entered with 270 and is not. Ten tops (one entry each) and ten loop-directories (two each).
  const std::u16string round = u"loop-directory\\back-to-top\\";
  EXPECT_EQ(gWalkTotals.entryCount, 30);
  EXPECT_EQ(gWalkTotals.longestPath, Repeated(round, 9) + u"loop-directory\\back-to-top");
  EXPECT_EQ(gWalkTotals.longestPath.size(), 269u);
  EXPECT_EQ(DepthsListed(top), 20u);
  EXPECT_LE(gCalls.mostLiveSearches, 20u);
}

}  // namespace
}  // namespace farthom

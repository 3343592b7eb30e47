// Whole runs of the main sequence on the fakes: options, probes, the "\" rule, follow-up actions.
#include "core/main_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/version.h"
#include "tests/fakes/fake_platform.h"

namespace farthom {
namespace {

constexpr uint32_t kDirectory = 0x10;
constexpr uint32_t kFile = 0x20;  // FILE_ATTRIBUTE_ARCHIVE: a file, no directory bit
constexpr int32_t kYes = 6;
constexpr int32_t kNo = 7;

const std::u16string kQuestion = u"\r\rOpen Folder (Explorer)?";
const std::u16string kUsage = u"Drag&drop a path on [shortcut to] executable";

// A target directory C:\data whose longest entry is sub\file.txt.
void ScriptDataDirectory(const std::u16string& target) {
  gFake.attributes[target] = kDirectory;
  gFake.enterable.insert(target);
  AddFakeDirectory(u"sub");
  AddFakeFile(u"sub\\file.txt");
  AddFakeFile(u"a");
}

int RunWith(std::vector<std::u16string> parameters) {
  gFake.parameters = std::move(parameters);
  return RunMainSequence();
}

class MainSequence : public ::testing::Test {
 protected:
  void SetUp() override { ResetFake(); }
};

TEST_F(MainSequence, OptionsSetStyleFlagsAndTarget) {
  const struct {
    const char* why;
    std::vector<std::u16string> parameters;
    uint32_t iconStyle;
    bool noPrompt;
    bool copyToClipboard;
    std::u16string targetPath;
  } cases[] = {
      {"nothing given", {}, 0, false, false, u""},
      {"/i sets the information icon", {u"/i"}, 0x40, false, false, u""},
      {"/m sets both icon bits", {u"/m"}, 0xC0, false, false, u""},
      {"the later of /i and /m wins", {u"/i", u"/m"}, 0xC0, false, false, u""},
      {"the later of /m and /i wins", {u"/m", u"/i"}, 0x40, false, false, u""},
      {"only the second character counts", {u"/Info", u"/Nope", u"/copy"}, 0x40, true, true, u""},
      {"capitals are lower-cased", {u"/M", u"/N", u"/C"}, 0xC0, true, true, u""},
      {"unknown letters and a bare slash are ignored",
       {u"/x", u"/", u"//i", u"/?"},
       0,
       false,
       false,
       u""},
      {"an option is never the target", {u"/x", u"C:\\t"}, 0, false, false, u"C:\\t"},
      {"a later path replaces an earlier one",
       {u"C:\\one", u"C:\\two"},
       0,
       false,
       false,
       u"C:\\two"},
      {"nothing after an empty parameter is read",
       {u"C:\\t", u"", u"/c", u"C:\\u"},
       0,
       false,
       false,
       u"C:\\t"},
      {"a path may hold anything but start with a slash",
       {u"\\\\?\\C:\\x y,z"},
       0,
       false,
       false,
       u"\\\\?\\C:\\x y,z"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    ResetFake();
    EXPECT_EQ(RunWith(c.parameters), 0);
    const RunSettings& settings = gRunState.settings;
    EXPECT_EQ(settings.iconStyle, c.iconStyle);
    EXPECT_EQ(settings.noPrompt, c.noPrompt);
    EXPECT_EQ(settings.copyToClipboard, c.copyToClipboard);
    EXPECT_EQ(settings.targetPath, c.targetPath);
  }
}

TEST_F(MainSequence, StopsReadingAtTheFirstEmptyParameter) {
  RunWith({u"C:\\t", u"", u"/c"});
  // Two parameters were asked for: the path and the empty one; /c was never read.
  EXPECT_EQ(gFake.parametersRead, 2u);
  EXPECT_TRUE(gFake.clipboardTexts.empty());
}

TEST_F(MainSequence, NoPathShowsUsageWithTheIconBitsAndNothingElse) {
  EXPECT_EQ(RunWith({u"/c", u"/i", u"/n"}), 0);
  ASSERT_EQ(gFake.reports.size(), 1u);
  EXPECT_EQ(gFake.reports[0].text, kUsage);
  EXPECT_EQ(gFake.reports[0].title, std::u16string(u"Farthom ") + kVersionText);
  EXPECT_EQ(gFake.reports[0].style, 0x40u);
  EXPECT_TRUE(gFake.clipboardTexts.empty());  // /c without a path copies nothing
  EXPECT_TRUE(gFake.directoryChanges.empty());
  EXPECT_EQ(gFake.commonControlsStarts, 1);
}

TEST_F(MainSequence, StartsCommonControlsOnceBeforeReadingParameters) {
  RunWith({u"x"});
  ASSERT_GE(gFake.calls.size(), 2u);
  EXPECT_EQ(gFake.calls[0], "StartCommonControls");
  EXPECT_EQ(gFake.calls[1], "NextParameter");
  EXPECT_EQ(gFake.commonControlsStarts, 1);
}

TEST_F(MainSequence, WalkedTargetGetsOneSeparatorAndAHeading) {
  for (const std::u16string target : {u"C:\\data", u"C:\\data\\"}) {
    SCOPED_TRACE(std::string(target.begin(), target.end()));
    ResetFake();
    ScriptDataDirectory(target);
    RunWith({target});
    EXPECT_EQ(gRunState.kind, ReportKind::Walked);
    EXPECT_EQ(gRunState.fullPath, u"C:\\data\\sub\\file.txt");
    ASSERT_EQ(gFake.reports.size(), 1u);
    EXPECT_EQ(gFake.reports[0].text,
              u"Longest of 3 paths:\r\rC:\\\rdata\\\rsub\\\rfile.txt\r\r20 characters" + kQuestion);
    EXPECT_EQ(gFake.reports[0].style, 4u);
    // Entered once, never changed back.
    EXPECT_EQ(gFake.directoryChanges, std::vector<std::u16string>{target});
    EXPECT_EQ(gFake.currentDirectory, target);
  }
}

TEST_F(MainSequence, RelativeTargetStaysRelative) {
  ScriptDataDirectory(u"data");
  RunWith({u"data"});
  EXPECT_EQ(gRunState.fullPath, u"data\\sub\\file.txt");
}

TEST_F(MainSequence, ProbesDecideWhetherTheWalkRuns) {
  const struct {
    const char* why;
    bool hasAttributes;
    uint32_t attributes;
    bool enterable;
    bool changeAttempted;
    bool walked;
  } cases[] = {
      {"a failed query still tries to enter, and entering fails", false, 0, false, true, false},
      {"a failed query and a directory that can be entered all the same", false, 0, true, true,
       true},
      {"a file is never entered", true, kFile, true, false, false},
      {"a directory that cannot be entered is measured", true, kDirectory, false, true, false},
      {"a directory with other bits set is walked", true, kDirectory | 0x400 | 0x2, true, true,
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    ResetFake();
    const std::u16string target = u"C:\\target";
    if (c.hasAttributes) gFake.attributes[target] = c.attributes;
    if (c.enterable) gFake.enterable.insert(target);
    AddFakeFile(u"inside");
    RunWith({target});
    EXPECT_EQ(gFake.directoryChanges.size(), c.changeAttempted ? 1u : 0u);
    EXPECT_EQ(!gFake.listings.empty(), c.walked);
    EXPECT_EQ(gRunState.kind, c.walked ? ReportKind::Walked : ReportKind::Measured);
    EXPECT_EQ(gRunState.fullPath, c.walked ? u"C:\\target\\inside" : target);
  }
}

TEST_F(MainSequence, EmptyDirectoryIsMeasuredWithoutASeparator) {
  gFake.attributes[u"C:\\empty"] = kDirectory;
  gFake.enterable.insert(u"C:\\empty");
  RunWith({u"C:\\empty"});
  EXPECT_EQ(gRunState.kind, ReportKind::Measured);
  EXPECT_EQ(gRunState.fullPath, u"C:\\empty");
  EXPECT_EQ(gFake.reports[0].text, u"C:\\\rempty\r\r8 characters" + kQuestion);
}

TEST_F(MainSequence, ClipboardGetsTheFullPathBeforeTheDialog) {
  ScriptDataDirectory(u"C:\\data");
  gFake.clipboardResult = 0;  // a failed copy changes nothing
  gFake.buttonCode = kNo;
  RunWith({u"/c", u"C:\\data"});
  EXPECT_EQ(gFake.clipboardTexts, std::vector<std::u16string>{u"C:\\data\\sub\\file.txt"});
  const auto copy = std::find(gFake.calls.begin(), gFake.calls.end(), "CopyTextToClipboard");
  const auto show = std::find(gFake.calls.begin(), gFake.calls.end(), "ShowReport");
  EXPECT_LT(copy, show);
  ASSERT_EQ(gFake.reports.size(), 1u);
}

TEST_F(MainSequence, NoPromptAndCopyTogether) {
  ScriptDataDirectory(u"C:\\data");
  gFake.buttonCode = 1;  // IDOK
  RunWith({u"/n", u"/c", u"C:\\data"});
  EXPECT_EQ(gFake.reports[0].style, 0u);
  EXPECT_EQ(gFake.reports[0].text.find(u"Open Folder"), std::u16string::npos);
  EXPECT_EQ(gFake.clipboardTexts, std::vector<std::u16string>{u"C:\\data\\sub\\file.txt"});
  EXPECT_TRUE(gFake.explorerLaunches.empty());
}

TEST_F(MainSequence, ExplorerOpensOnlyAfterYes) {
  const struct {
    const char* why;
    std::vector<std::u16string> parameters;
    int32_t button;
    std::vector<FakeExplorerLaunch> launches;
  } cases[] = {
      {"yes on a walked tree: the entered target and the walk's result",
       {u"C:\\data"},
       kYes,
       {{u"C:\\data\\", u"sub\\file.txt", true}}},
      {"no on a walked tree", {u"C:\\data"}, kNo, {}},
      {"a failed dialog", {u"C:\\data"}, 0, {}},
      {"yes on a file: not entered", {u"C:\\a.txt"}, kYes, {{u"C:\\a.txt", u"", false}}},
      {"yes on a missing path", {u"C:\\nowhere"}, kYes, {{u"C:\\nowhere", u"", false}}},
      {"a relative target is handed over as typed, with the separator",
       {u"data"},
       kYes,
       {{u"data\\", u"sub\\file.txt", true}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    ResetFake();
    ScriptDataDirectory(u"C:\\data");
    gFake.attributes[u"data"] = kDirectory;
    gFake.enterable.insert(u"data");
    gFake.attributes[u"C:\\a.txt"] = kFile;
    gFake.buttonCode = c.button;
    EXPECT_EQ(RunWith(c.parameters), 0);
    EXPECT_EQ(gFake.explorerLaunches, c.launches);
    if (!c.launches.empty()) {
      EXPECT_EQ(gFake.calls.back(), "OpenExplorerAt");
    }
  }
}

TEST_F(MainSequence, OkOnlyDialogsNeverOfferYes) {
  // A run with no path and a run with /n show OK only; their style has no Yes button to press.
  for (const auto& parameters :
       {std::vector<std::u16string>{}, std::vector<std::u16string>{u"/n", u"C:\\a.txt"}}) {
    ResetFake();
    RunWith(parameters);
    ASSERT_EQ(gFake.reports.size(), 1u);
    EXPECT_EQ(gFake.reports[0].style & 0xF, 0u);
  }
}

TEST_F(MainSequence, MeasuredFileReport) {
  gFake.attributes[u"C:\\a.txt"] = kFile;
  gFake.buttonCode = kYes;
  RunWith({u"/m", u"C:\\a.txt"});
  EXPECT_EQ(gFake.reports[0].text, u"C:\\\ra.txt\r\r8 characters" + kQuestion);
  EXPECT_EQ(gFake.reports[0].title, u"Farthom");
  EXPECT_EQ(gFake.reports[0].style, 0xC4u);
}

TEST_F(MainSequence, ClearsTheLastRunsState) {
  ScriptDataDirectory(u"C:\\data");
  RunWith({u"/c", u"/n", u"C:\\data"});
  ResetFake();
  RunWith({});
  EXPECT_EQ(gRunState.settings.targetPath, u"");
  EXPECT_FALSE(gRunState.settings.copyToClipboard);
  EXPECT_EQ(gWalkTotals.entryCount, 0);
  EXPECT_EQ(gWalkTotals.longestPath, u"");
  EXPECT_EQ(gRunState.fullPath, u"");
}

}  // namespace
}  // namespace farthom

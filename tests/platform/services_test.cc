// Lower-casing, path probes, the clipboard copy and the DLL search order on real Win32.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "core/platform.h"
#include "core/report.h"
#include "platform/windows/clipboard_calls.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_header.h"
#include "tools/support/clipboard_text.h"
#include "tools/support/program_run.h"
#include "tools/support/temporary_tree.h"

namespace farthom {
namespace {

// ---- lower-casing ----

TEST(LowerCaseText, MapsWithTheSystemsUnicodeTable) {
  const struct {
    std::u16string text, lower;
    const char* why;
  } cases[] = {
      {u"", u"", "the empty text needs no buffer and stays empty"},
      {u"I", u"i", "an option letter"},
      {u"/Info", u"/info", "only letters change"},
      {u"\u00C4\u00D6\u00DC", u"\u00E4\u00F6\u00FC", "Latin-1 capitals are mapped too"},
      {u"\u0391\u03A3", u"\u03B1\u03C3", "beyond Latin-1: Greek capitals"},
      {u"already lower", u"already lower", "nothing to map"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LowerCaseText(c.text), c.lower) << c.why;
  }
}

// ---- path probes ----

TEST(PathAttributes, TellsDirectoriesFilesAndFailures) {
  TemporaryTree tree(NewTemporaryPath(u"farthom-services"));
  ASSERT_TRUE(tree.MakeDirectory(u"folder") && tree.MakeFile(u"file.txt"));
  const std::u16string directory = tree.Path(u"folder");
  const std::u16string file = tree.Path(u"file.txt");

  EXPECT_EQ(PathAttributes(u""), 0xFFFFFFFFu) << "an empty path is a failed query";
  EXPECT_EQ(PathAttributes(tree.Path() + u"\\missing"), 0xFFFFFFFFu);
  EXPECT_NE(PathAttributes(directory) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_NE(PathAttributes(directory + u"\\"), 0xFFFFFFFFu) << "a trailing separator is fine";
  const uint32_t fileBits = PathAttributes(file);
  EXPECT_NE(fileBits, 0xFFFFFFFFu);
  EXPECT_EQ(fileBits & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(ChangeCurrentDirectory, EntersDirectoriesOnly) {
  TemporaryTree tree(NewTemporaryPath(u"farthom-services"));
  ASSERT_TRUE(tree.MakeDirectory(u"inside") && tree.MakeFile(u"plain.txt"));
  const std::u16string directory = tree.Path(u"inside");
  const std::u16string file = tree.Path(u"plain.txt");
  const std::u16string start = CurrentDirectory();

  EXPECT_FALSE(ChangeCurrentDirectory(u""));
  EXPECT_FALSE(ChangeCurrentDirectory(tree.Path() + u"\\missing"));
  EXPECT_FALSE(ChangeCurrentDirectory(file));
  EXPECT_EQ(CurrentDirectory(), start) << "a failed change leaves the directory where it was";

  ASSERT_TRUE(ChangeCurrentDirectory(directory));
  EXPECT_EQ(CurrentDirectory(), directory);
  // Relative to the new current directory, so later listings can use relative paths.
  EXPECT_NE(PathAttributes(u"..\\plain.txt"), 0xFFFFFFFFu);
  ASSERT_TRUE(ChangeCurrentDirectory(start));  // so that the tree can be removed
}

// ---- clipboard ----

// Set while a test records the copy's calls; otherwise they are the system's own, unrecorded.
bool gRecording = false;

// Which step of the copy a test makes fail; the wrappers pass everything else to Win32.
enum class Failing { None, Open, Alloc, Lock, SetData };

struct ClipboardRecord {
  Failing failing = Failing::None;
  std::vector<std::string> calls;
  UINT allocFlags = 0;
  SIZE_T allocBytes = 0;
  HGLOBAL block = nullptr;
  std::u16string handedOver;  // the block's text as SetClipboardData received it
  bool handedOverEndsInNul = false;
  UINT format = 0;
  HGLOBAL freed = nullptr;
} gRecord;

}  // namespace

// The copy's calls in the test build: each passes to Win32, recorded (and perhaps failed) while
// gRecording is set.
namespace clipboard_calls {

BOOL Open(HWND owner) {
  if (!gRecording) return OpenClipboard(owner);
  gRecord.calls.push_back(owner == nullptr ? "Open(no owner)" : "Open(owner)");
  return gRecord.failing == Failing::Open ? FALSE : OpenClipboard(owner);
}
HGLOBAL Alloc(UINT flags, SIZE_T bytes) {
  if (!gRecording) return GlobalAlloc(flags, bytes);
  gRecord.calls.push_back("Alloc");
  gRecord.allocFlags = flags;
  gRecord.allocBytes = bytes;
  if (gRecord.failing == Failing::Alloc) return nullptr;
  gRecord.block = GlobalAlloc(flags, bytes);
  return gRecord.block;
}
BOOL Empty() {
  if (gRecording) gRecord.calls.push_back("Empty");
  return EmptyClipboard();
}
LPVOID Lock(HGLOBAL block) {
  if (!gRecording) return GlobalLock(block);
  gRecord.calls.push_back("Lock");
  return gRecord.failing == Failing::Lock ? nullptr : GlobalLock(block);
}
BOOL Unlock(HGLOBAL block) {
  if (gRecording) gRecord.calls.push_back("Unlock");
  return GlobalUnlock(block);
}
HANDLE SetData(UINT format, HANDLE data) {
  if (!gRecording) return SetClipboardData(format, data);
  gRecord.calls.push_back("SetData");
  gRecord.format = format;
  const SIZE_T bytes = GlobalSize(data);
  if (const char* memory = static_cast<const char*>(GlobalLock(data))) {
    gRecord.handedOver = FromWide(reinterpret_cast<const wchar_t*>(memory));
    gRecord.handedOverEndsInNul = bytes >= gRecord.allocBytes &&
                                  memory[gRecord.allocBytes - 1] == 0 &&
                                  memory[gRecord.allocBytes - 2] == 0;
    GlobalUnlock(data);
  }
  return gRecord.failing == Failing::SetData ? nullptr : SetClipboardData(format, data);
}
BOOL Close() {
  if (gRecording) gRecord.calls.push_back("Close");
  return CloseClipboard();
}
HGLOBAL Free(HGLOBAL block) {
  if (gRecording) {
    gRecord.calls.push_back("Free");
    gRecord.freed = block;
  }
  return GlobalFree(block);
}

}  // namespace clipboard_calls

namespace {

class Clipboard : public ::testing::Test {
 protected:
  void SetUp() override {
    gRecord = ClipboardRecord();
    gRecording = true;
  }
  void TearDown() override { gRecording = false; }
};

TEST_F(Clipboard, CopiesInTheOneOrderWithTheTextAndItsNul) {
  const std::u16string text = u"C:\\My Files\\a,b \u00E9\U0001F600";  // 18 code units
  const uintptr_t handle = CopyTextToClipboard(text);

  EXPECT_NE(handle, 0u);
  EXPECT_EQ(gRecord.calls, (std::vector<std::string>{"Open(no owner)", "Alloc", "Empty", "Lock",
                                                     "Unlock", "SetData", "Close"}));
  EXPECT_EQ(gRecord.allocFlags, 0x2002u) << "GMEM_MOVEABLE | GMEM_DDESHARE";
  EXPECT_EQ(gRecord.allocBytes, (text.size() + 1) * 2);
  EXPECT_EQ(gRecord.format, static_cast<UINT>(CF_UNICODETEXT));
  EXPECT_EQ(gRecord.handedOver, text);
  EXPECT_TRUE(gRecord.handedOverEndsInNul);
  EXPECT_EQ(ClipboardText(), text);
}

TEST_F(Clipboard, AnEmptyTextIsAnEmptyUnicodeText) {
  ASSERT_TRUE(PutOnClipboard(u"before"));
  gRecord.calls.clear();
  EXPECT_NE(CopyTextToClipboard(u""), 0u);
  EXPECT_EQ(gRecord.allocBytes, 2u);
  EXPECT_TRUE(gRecord.handedOverEndsInNul);
  EXPECT_EQ(ClipboardText(), u"");
}

TEST_F(Clipboard, EachFailureClosesWhatItOpenedAndReleasesWhatDidNotReachTheClipboard) {
  const struct {
    Failing failing;
    std::vector<std::string> calls;
    std::u16string clipboardAfter;
    const char* why;
  } cases[] = {
      {Failing::Open, {"Open(no owner)"}, u"before", "busy clipboard: nothing else touched"},
      {Failing::Alloc,
       {"Open(no owner)", "Alloc", "Close"},
       u"before",
       "no block: the clipboard is not emptied"},
      {Failing::Lock,
       {"Open(no owner)", "Alloc", "Empty", "Lock", "Free", "Close"},
       u"<no Unicode text>",
       "emptied already; the unlocked block is released"},
      {Failing::SetData,
       {"Open(no owner)", "Alloc", "Empty", "Lock", "Unlock", "SetData", "Free", "Close"},
       u"<no Unicode text>",
       "the clipboard refused the block, so it is still ours to release"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(PutOnClipboard(u"before"));
    gRecord = ClipboardRecord();
    gRecord.failing = c.failing;
    EXPECT_EQ(CopyTextToClipboard(u"after"), 0u) << c.why;
    EXPECT_EQ(gRecord.calls, c.calls) << c.why;
    if (c.failing == Failing::Lock || c.failing == Failing::SetData) {
      EXPECT_EQ(gRecord.freed, gRecord.block) << c.why;
    }
    EXPECT_EQ(ClipboardText(), c.clipboardAfter) << c.why;
  }
}

TEST_F(Clipboard, ASuccessLeavesTheBlockToTheClipboard) {
  ASSERT_NE(CopyTextToClipboard(u"kept"), 0u);
  EXPECT_EQ(gRecord.freed, nullptr);
  EXPECT_EQ(ClipboardText(), u"kept");
}

TEST(ClipboardHeldElsewhere, FailsAtOnceAndKeepsThePreviousText) {
  ASSERT_TRUE(PutOnClipboard(u"previous"));
  // The clipboard belongs to whoever opened it; a second thread stands in for another program.
  HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  // It opens with a window of its own, as a program usually does: the clipboard tells openers
  // apart by their window.
  bool held = false;
  std::thread holder([&] {
    HWND window = CreateWindowExW(0, L"STATIC", L"holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  nullptr, nullptr);
    held = OpenClipboard(window) != 0;
    SetEvent(opened);
    WaitForSingleObject(release, INFINITE);
    if (held) CloseClipboard();
    DestroyWindow(window);
  });
  WaitForSingleObject(opened, INFINITE);
  EXPECT_TRUE(held);
  EXPECT_EQ(CopyTextToClipboard(u"new"), 0u);
  SetEvent(release);
  holder.join();
  CloseHandle(opened);
  CloseHandle(release);
  EXPECT_EQ(ClipboardText(), u"previous");
}

// ---- the DLL search order ----

TEST(DllSearchOrder, TheCurrentDirectoryIsNotSearchedOnceTheStartUpMendHasRun) {
  // The surveyed folder becomes the current directory, and the dialog and the shell load DLLs
  // after that. The child (dll_search_child.cc) answers with the step that went wrong.
  const char* const steps[] = {"",
                               "the probe's name is beside the child",
                               "the probe could not be copied",
                               "its folder could not be entered",
                               "before the mend, the current directory was not searched",
                               "a copy from elsewhere was loaded",
                               "the probe stayed loaded",
                               "after the mend, the current directory was still searched"};
  ProgramStart start;
  start.program = BesideThisProgram(u"dll_search_child.exe");
  start.commandLine = u"dll_search_child.exe";
  ProgramRun run = StartProgram(start);
  ASSERT_TRUE(run.started);
  const int64_t step = WaitForExit(run, 60000);
  CloseRun(run);
  EXPECT_EQ(step, 0) << (step > 0 && step < 8 ? steps[step] : "the child did not end well");
}

}  // namespace
}  // namespace farthom

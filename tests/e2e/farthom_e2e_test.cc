// The real farthom.exe, started with exact raw command lines on real trees, seen from outside.
//
// Run by run_e2e.cmake, which passes --farthom=PATH and --trace=PATH: the driver's own standard
// error goes to the trace file, and under Wine the traces of the programs it starts land there.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "core/version.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_header.h"
#include "tools/support/clipboard_text.h"
#include "tools/support/folder_windows.h"
#include "tools/support/program_run.h"
#include "tools/support/temporary_tree.h"
#include "tools/support/utf8.h"

namespace farthom {
namespace {

std::u16string gFarthom;  // the program under test, a Windows path
std::u16string gTrace;    // the file that receives Wine's traces

const std::u16string kUsageTitle = std::u16string(u"Farthom ") + kVersionText;
const std::u16string kUsage = u"Drag&drop a path on [shortcut to] executable";
const std::u16string kQuestion = u"\r\rOpen Folder (Explorer)?";
const std::set<int> kYesNo = {IDYES, IDNO};
const std::set<int> kOkOnly = {IDOK};

// A path as the dialog shows it: a carriage return after every "\".
std::u16string Broken(const std::u16string& path) {
  std::u16string broken;
  for (char16_t unit : path) {
    broken += unit;
    if (unit == u'\\') broken += u'\r';
  }
  return broken;
}

// Paths and file names compared as Windows compares them, for the ASCII these tests use.
std::u16string LowerCaseAscii(std::u16string text) {
  for (char16_t& unit : text) {
    if (unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit + 0x20);
  }
  return text;
}

bool EndsWith(const std::u16string& text, const std::u16string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::u16string Decimal(size_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

// The report of a walk of `entries` entries whose longest path is `found`, without the question.
std::u16string WalkOf(size_t entries, const std::u16string& found) {
  return u"Longest of " + Decimal(entries) + u" paths:\r\r" + Broken(found) + u"\r\r" +
         Decimal(found.size()) + u" characters";
}

// ---- Wine's trace of the Explorer launch ----

std::string ReadWholeFile(const std::u16string& path) {
  std::string content;
  HANDLE file = CreateFileW(WideText(path), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return content;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
    content.append(buffer, got);
  CloseHandle(file);
  return content;
}

// The lines that process `processId` added to Wine's trace (which +pid prefixes with its number).
std::vector<std::string> TraceLinesOf(const std::string& trace, DWORD processId) {
  char prefix[16];
  std::snprintf(prefix, sizeof(prefix), "%04lx:", static_cast<unsigned long>(processId));
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < trace.size()) {
    size_t end = trace.find('\n', start);
    if (end == std::string::npos) end = trace.size();
    const std::string line = trace.substr(start, end - start);
    if (line.compare(0, std::strlen(prefix), prefix) == 0) lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// The ShellExecute calls among a process's trace lines.
std::vector<std::string> ShellExecuteTraces(const std::vector<std::string>& lines) {
  std::vector<std::string> calls;
  for (const std::string& line : lines) {
    if (line.find("trace:exec:SHELL_execute mask=") != std::string::npos) {
      calls.push_back(line.substr(line.find("hwnd=")));
    }
  }
  return calls;
}

// How Wine's trace writes a wide text: L"..." with "\" and '"' escaped. The tests' paths are
// ASCII, so nothing else needs escaping.
std::string TracedText(const std::u16string& text) {
  std::string traced = "L\"";
  for (char16_t unit : text) {
    if (unit == u'\\' || unit == u'"') traced += '\\';
    traced += static_cast<char>(unit);
  }
  return traced + "\"";
}

// The shared Windows directory, without a final "\" (C:\Windows).
std::u16string WindowsDirectory() {
  wchar_t directory[MAX_PATH] = {};
  const UINT length = GetSystemWindowsDirectoryW(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return u"";
  std::u16string path = FromWide(directory);
  if (path.back() == u'\\') path.pop_back();
  return path;
}

// Its Explorer, by its full path: the one program a Yes may start.
std::u16string WindowsExplorer() { return WindowsDirectory() + u"\\explorer.exe"; }

// The one launch the program may make, as the trace shows it: the path in quotation marks, so
// that Explorer, which splits its command line at commas and equals signs, takes it whole.
std::string ExplorerLaunchTrace(const std::u16string& path) {
  return "hwnd=00000000 verb=L\"open\" file=" + TracedText(WindowsExplorer()) +
         " parm=" + TracedText(u"/Select,\"" + path + u"\"") +
         " dir=(null) show=0x00000001 class=not used";
}

// The path a launch line of the trace selects, unescaped; "" when there is none.
std::u16string TracedSelection(const std::string& launch) {
  const std::string start = "parm=L\"/Select,\\\"";
  const size_t from = launch.find(start);
  const size_t to = launch.rfind("\\\"\" dir=");
  std::u16string path;
  if (from == std::string::npos || to == std::string::npos) return path;
  for (size_t at = from + start.size(); at < to; ++at) {
    if (launch[at] == '\\') ++at;  // an escaped "\" or quotation mark
    path += static_cast<char16_t>(launch[at]);
  }
  return path;
}

// A reported path that Explorer takes (shorter than MAX_PATH, no name ending in a dot or blank)
// reaches it exactly; any other as such a path that opens the very entry, by volume and file
// index: the whole entry where it has a short name (all do under Wine), else a folder above it.
// (Not GetLongPathNameW: Wine 8 does not expand its own short name of "draft.".)
void ExpectSelects(const std::u16string& selected, const std::u16string& reported) {
  bool taken = reported.size() < MAX_PATH;
  for (size_t at = 0; at < reported.size(); ++at) {
    const bool last = at + 1 == reported.size() || reported[at + 1] == u'\\';
    if (last && (reported[at] == u'.' || reported[at] == u' ')) taken = false;
  }
  if (taken) {
    EXPECT_EQ(selected, reported) << Utf8OnOneLine(selected);
    return;
  }
  EXPECT_LT(selected.size(), size_t{MAX_PATH}) << Utf8OnOneLine(selected);
  EXPECT_NE(selected.rfind(u"\\\\?\\", 0), 0u) << Utf8OnOneLine(selected);
  const std::vector<DWORD> opened = IdentityOf(selected);
  ASSERT_FALSE(opened.empty()) << "opens nothing: " << Utf8OnOneLine(selected);
  WIN32_FIND_DATAW data = {};
  const HANDLE search = FindFirstFileW(WideText(u"\\\\?\\" + reported), &data);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  std::u16string entry = reported;
  while (data.cAlternateFileName[0] == 0 && IdentityOf(u"\\\\?\\" + entry) != opened &&
         entry.rfind(u'\\') > 2) {
    entry.resize(entry.rfind(u'\\'));
  }
  EXPECT_EQ(IdentityOf(u"\\\\?\\" + entry), opened) << Utf8OnOneLine(selected);
}

// ---- one run ----

struct Case {
  const char* name;
  std::u16string parameters;  // the raw command line after the program's own token
  std::u16string directory;   // the working directory; "" keeps the driver's
  int answer;                 // the button pressed
  std::u16string title;
  std::u16string text;
  std::set<int> buttons;
  bool icon;
  std::u16string explorerPath;  // the path Explorer must be started at; "" for no launch
  bool clipboardChecked;
  std::u16string clipboard;  // what the clipboard holds afterwards, when checked
};

struct Outcome {
  bool dialogShown = false;
  DialogSeen seen;
  int64_t exitCode = -2;
  DWORD processId = 0;
  std::vector<ChildSeen> children;    // every process the program or its children started
  std::vector<std::string> launches;  // its ShellExecute calls in Wine's trace
  std::vector<std::string> trace;     // all its lines in Wine's trace
};

// `moreChannels` adds Wine debug channels to the ones every run is traced with.
Outcome RunCase(const Case& c, const std::u16string& moreChannels = u"") {
  Outcome outcome;
  const size_t traceBefore = ReadWholeFile(gTrace).size();
  ProgramStart program;
  program.commandLine = u"\"" + gFarthom + u"\"" + c.parameters;
  program.directory = c.directory;
  program.childrenWatched = true;
  // Wine's traces of the launch and the loader; Windows has no such channels.
  if (RunningOnWine()) program.debugChannels = u"+pid,+exec" + moreChannels;
  ProgramRun run = StartProgram(program);
  if (!run.started) return outcome;
  outcome.dialogShown = WaitForDialog(run, 60000);
  if (outcome.dialogShown) {
    outcome.seen = ReadDialog(run.dialog);
    AnswerDialog(run.dialog, c.answer);
  }
  // The job names every process the program starts as it is created, and each is read at once.
  // All go with the job once the program has ended (CloseRun): an Explorer left running would
  // open windows and outlive the test. None is ended sooner, since a process ended while it is
  // being started makes the launch try again.
  outcome.processId = run.process.dwProcessId;
  const DWORD start = GetTickCount();
  while (WaitForExit(run, 0) < 0 && GetTickCount() - start < 30000) {
    for (const ChildSeen& child : NewChildren(run, 10)) outcome.children.push_back(child);
  }
  outcome.exitCode = WaitForExit(run, 0);
  // Those made just before the program ended are already reported.
  for (const ChildSeen& child : NewChildren(run, 0)) outcome.children.push_back(child);
  outcome.trace = TraceLinesOf(ReadWholeFile(gTrace).substr(traceBefore), run.process.dwProcessId);
  outcome.launches = ShellExecuteTraces(outcome.trace);
  CloseRun(run);
  return outcome;
}

// Below "long", six folders of long names, and a file at the bottom.
std::vector<std::u16string> LongTree() {
  std::vector<std::u16string> tree = {u"long"};
  for (char16_t level = u'1'; level <= u'6'; ++level)
    tree.push_back(tree.back() + u"\\level " + level + u" of a tree of long folder names");
  tree.push_back(tree.back() + u"\\the file at the bottom of the long tree.txt");
  return tree;
}

class EndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    tree_ = new TemporaryTree(NewTemporaryPath(u"farthom-e2e"));
    // The tree is made through "\\?\" paths, so the names that end in dots keep them.
    for (const char16_t* directory : {u"walk", u"walk\\sub", u"empty", u"My Files", u"dots",
                                      u"dots\\draft.", u"dots\\draft", u"dots\\two..", u"planted"})
      tree_->MakeDirectory(directory);
    // A path of about 300 characters, of names that are not short names already.
    const std::vector<std::u16string> longTree = LongTree();
    for (size_t i = 0; i + 1 < longTree.size(); ++i) tree_->MakeDirectory(longTree[i]);
    tree_->MakeFile(longTree.back());
    for (const char16_t* file :
         {u"walk\\a.txt", u"walk\\sub\\file.txt", u"plain.txt", u"My Files\\Smith, John=1.txt",
          u"dots\\draft.\\the draft with a dot, the longest name.txt",
          u"dots\\draft\\the draft without one.txt", u"dots\\two..\\two dots, a name.txt"})
      tree_->MakeFile(file);
  }
  static void TearDownTestSuite() {
    // On Windows each Yes opened a folder window of the shell; none may outlive the tests.
    CloseFolderWindowsWithin(tree_->Path());
    delete tree_;
    tree_ = nullptr;
  }

  // Runs each case and compares everything a user and the system can see; `seen`, when given,
  // receives what was seen, case by case, for checks of a test's own.
  void Check(const std::vector<Case>& cases, std::vector<Outcome>* seen = nullptr) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      const Outcome outcome = RunCase(c);
      if (seen != nullptr) seen->push_back(outcome);
      ASSERT_TRUE(outcome.dialogShown) << "no dialog appeared";
      EXPECT_EQ(outcome.seen.title, c.title) << Utf8OnOneLine(outcome.seen.title);
      EXPECT_EQ(outcome.seen.text, c.text) << Utf8OnOneLine(outcome.seen.text) << "\n"
                                           << Utf8OnOneLine(c.text);
      EXPECT_EQ(outcome.seen.buttons, c.buttons);
      EXPECT_EQ(outcome.seen.iconShown, c.icon);
      EXPECT_EQ(outcome.exitCode, 0);
      if (c.explorerPath.empty()) {
        EXPECT_TRUE(outcome.children.empty())
            << "started " << Utf8OnOneLine(outcome.children[0].image);
        EXPECT_TRUE(outcome.launches.empty()) << outcome.launches[0];
      } else {
        // Seen on any system: the program started Explorer as its child.
        std::string started;
        for (const ChildSeen& child : outcome.children) {
          started +=
              Utf8OnOneLine(child.image) + " (started by " + std::to_string(child.parentId) + ") ";
        }
        // The program's own children; what they start in turn is theirs. A process whose parent
        // could not be read counts as the program's.
        std::vector<ChildSeen> own;
        for (const ChildSeen& child : outcome.children) {
          if (child.parentId == outcome.processId || child.parentId == 0) own.push_back(child);
        }
        ASSERT_EQ(own.size(), 1u) << started;
        EXPECT_EQ(Utf8OnOneLine(LowerCaseAscii(own[0].executable)), "explorer.exe") << started;
        std::u16string selected;
        if (!RunningOnWine()) {
          // Seen on Windows: the Windows directory's Explorer, its command line ending in the
          // parameters, the path in quotation marks. (Wine starts its built-in Explorer for that
          // file and names it after System32, and does not tell another process's command line:
          // there the trace below shows the call.)
          const ChildSeen& explorer = own[0];
          EXPECT_EQ(LowerCaseAscii(explorer.image), LowerCaseAscii(WindowsExplorer())) << started;
          const std::u16string& line = explorer.commandLine;
          const size_t at = line.rfind(u" /Select,\"");
          ASSERT_TRUE(at != std::u16string::npos && EndsWith(line, u"\"")) << Utf8OnOneLine(line);
          selected = line.substr(at + 10, line.size() - at - 11);
        } else {
          // Seen in Wine's trace: the exact call, the path aside.
          ASSERT_EQ(outcome.launches.size(), 1u);
          selected = TracedSelection(outcome.launches[0]);
          EXPECT_EQ(outcome.launches[0], ExplorerLaunchTrace(selected));
        }
        ExpectSelects(selected, c.explorerPath);
      }
      if (c.clipboardChecked) {
        EXPECT_EQ(ClipboardText(), c.clipboard);
      }
    }
  }

  static TemporaryTree* tree_;
};

TemporaryTree* EndToEnd::tree_ = nullptr;

TEST_F(EndToEnd, WithoutAPathTheUsageDialogAppears) {
  Check({
      {"no parameters: usage, OK only, no icon", u"", u"", IDOK, kUsageTitle, kUsage, kOkOnly,
       false, u"", false, u""},
      {"/i alone: usage with the information icon", u" /i", u"", IDOK, kUsageTitle, kUsage, kOkOnly,
       true, u"", false, u""},
      {"/Info: only the second letter counts, in either case", u" /Info", u"", IDOK, kUsageTitle,
       kUsage, kOkOnly, true, u"", false, u""},
      // The style carries 0xC0 unchanged; the system's message box draws no icon for that
      // combination (it is neither a standard icon nor a user icon it can load).
      {"/m alone: usage, the style bits passed as they are", u" /m", u"", IDOK, kUsageTitle, kUsage,
       kOkOnly, false, u"", false, u""},
  });
}

TEST_F(EndToEnd, AWalkedTreeReportsItsLongestPath) {
  const std::u16string walk = tree_->Path(u"walk");
  const std::u16string found = walk + u"\\sub\\file.txt";
  const std::u16string walked = WalkOf(3, found);
  const std::u16string longest = tree_->Path(LongTree().back());
  Check({
      {"answered No: nothing started", u" \"" + walk + u"\"", u"", IDNO, u"Farthom",
       walked + kQuestion, kYesNo, false, u"", false, u""},
      {"answered Yes: Explorer selects the longest path", u" " + walk, u"", IDYES, u"Farthom",
       walked + kQuestion, kYesNo, false, found, false, u""},
      {"a trailing \\ gives the same path, no second separator", u" " + walk + u"\\", u"", IDNO,
       u"Farthom", walked + kQuestion, kYesNo, false, u"", false, u""},
      {"a relative target stays relative; Explorer, elsewhere, gets the absolute path", u" walk",
       tree_->Path(), IDYES, u"Farthom",
       u"Longest of 3 paths:\r\rwalk\\\rsub\\\rfile.txt\r\r17 characters" + kQuestion, kYesNo,
       false, found, false, u""},
      {"past 260 characters: Explorer gets a path it takes", u" \"" + tree_->Path(u"long") + u"\"",
       u"", IDYES, u"Farthom", WalkOf(7, longest) + kQuestion, kYesNo, false, longest, false, u""},
      {"/n: OK only, no question, no Explorer", u" /n " + walk, u"", IDOK, u"Farthom", walked,
       kOkOnly, false, u"", false, u""},
      {"/i with a path: the icon and the question", u" " + walk + u" /i", u"", IDNO, u"Farthom",
       walked + kQuestion, kYesNo, true, u"", false, u""},
  });
}

TEST_F(EndToEnd, NamesEndingInDotsAreListedAndSelectedAsTheyAre) {
  // A relative search rewrites "draft.\*.*" to "draft\*.*", the sibling's listing, and fails on
  // "two..\*.*": each folder must be listed under its own name, and Explorer, which reads a
  // path the same way, must be given one that names the folder with the dot.
  const std::u16string dots = tree_->Path(u"dots");
  const std::u16string found = dots + u"\\draft.\\the draft with a dot, the longest name.txt";
  Check({
      {"three folders and a file in each, answered Yes", u" \"" + dots + u"\"", u"", IDYES,
       u"Farthom", WalkOf(6, found) + kQuestion, kYesNo, false, found, false, u""},
  });
}

TEST_F(EndToEnd, AnythingButAWalkableDirectoryIsMeasured) {
  const std::u16string file = tree_->Path(u"plain.txt");
  const std::u16string missing = tree_->Path(u"missing");
  const std::u16string empty = tree_->Path(u"empty");
  const std::u16string odd = tree_->Path(u"My Files\\Smith, John=1.txt");
  const auto measured = [](const std::u16string& path) {
    return Broken(path) + u"\r\r" + Decimal(path.size()) + u" characters" + kQuestion;
  };
  Check({
      {"a file", u" " + file, u"", IDNO, u"Farthom", measured(file), kYesNo, false, u"", false,
       u""},
      {"a path that does not exist, answered Yes", u" " + missing, u"", IDYES, u"Farthom",
       measured(missing), kYesNo, false, missing, false, u""},
      {"an empty directory: no separator added", u" " + empty, u"", IDNO, u"Farthom",
       measured(empty), kYesNo, false, u"", false, u""},
      {"an empty directory given with its \\: three carriage returns", u" " + empty + u"\\", u"",
       IDNO, u"Farthom", measured(empty + u"\\"), kYesNo, false, u"", false, u""},
      {"blanks, a comma and an equals sign reach Explorer quoted", u" \"" + odd + u"\"", u"", IDYES,
       u"Farthom", measured(odd), kYesNo, false, odd, false, u""},
  });
}

TEST_F(EndToEnd, AnExplorerInTheSurveyedFolderIsNeverStarted) {
  // The surveyed folder is the program's current directory, where a bare "Explorer.exe" is
  // looked for first.
  const std::u16string planted = tree_->Path(u"planted");
  // The stand-in built beside this driver (planted_explorer.cc).
  ASSERT_TRUE(CopyFileW(WideText(BesideThisProgram(u"planted_explorer.exe")),
                        WideText(planted + u"\\Explorer.exe"), TRUE));
  const std::u16string found = planted + u"\\Explorer.exe";
  std::vector<Outcome> outcomes;
  Check({{"answered Yes: the Windows directory's Explorer", u" " + planted, u"", IDYES, u"Farthom",
          WalkOf(1, found) + kQuestion, kYesNo, false, found, false, u""}},
        &outcomes);
  ASSERT_EQ(outcomes.size(), 1u);
  // A planted program that ran would be named by its own path, on any system.
  for (const ChildSeen& child : outcomes[0].children) {
    EXPECT_FALSE(child.image.empty());
    EXPECT_NE(LowerCaseAscii(child.image).rfind(LowerCaseAscii(planted + u"\\"), 0), 0u)
        << Utf8OnOneLine(child.image);
  }
  EXPECT_EQ(GetFileAttributesW(WideText(planted + u"\\planted-explorer-ran.txt")),
            INVALID_FILE_ATTRIBUTES)
      << "the planted Explorer.exe ran";
}

TEST_F(EndToEnd, CopyPutsTheReportedPathOnTheClipboard) {
  const std::u16string walk = tree_->Path(u"walk");
  const std::u16string found = walk + u"\\sub\\file.txt";
  const std::u16string walked = WalkOf(3, found);
  ASSERT_TRUE(PutOnClipboard(u"known text"));
  Check({
      {"/c with a walked tree", u" /c " + walk, u"", IDNO, u"Farthom", walked + kQuestion, kYesNo,
       false, u"", true, found},
  });
  ASSERT_TRUE(PutOnClipboard(u"known text"));
  Check({
      {"/n and /c together", u" /n /c " + walk, u"", IDOK, u"Farthom", walked, kOkOnly, false, u"",
       true, found},
  });
  ASSERT_TRUE(PutOnClipboard(u"known text"));
  Check({
      {"/c without a path copies nothing", u" /c", u"", IDOK, kUsageTitle, kUsage, kOkOnly, false,
       u"", true, u"known text"},
  });
}

// The Wine prefix's own folder as this driver sees it through drive Z:, where the Unix file system
// is seen as it is and no System32 redirection applies.
std::u16string WinePrefixOnDriveZ() {
  wchar_t value[MAX_PATH] = {};
  std::u16string prefix;
  if (GetEnvironmentVariableW(L"WINEPREFIX", value, MAX_PATH) - 1 < MAX_PATH - 1) {
    prefix = FromWide(value);
  } else if (GetEnvironmentVariableW(L"HOME", value, MAX_PATH) - 1 < MAX_PATH - 1) {
    prefix = FromWide(value) + u"/.wine";
  }
  for (char16_t& unit : prefix) {
    if (unit == u'/') unit = u'\\';
  }
  return u"Z:" + prefix;
}

TEST_F(EndToEnd, System32IsWalkedAsItReallyIs) {
  // A 32-bit program that names C:\Windows\System32 is sent to SysWOW64, where this folder is
  // not. The driver, 32-bit too, makes it through a name that is not redirected.
  std::u16string windows = u"C:\\windows";
  std::u16string realSystem32;
  if (RunningOnWine()) {
    // The prefix's own folder through drive Z:.
    realSystem32 = WinePrefixOnDriveZ() + u"\\drive_c\\windows\\system32";
  } else {
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64) {
      GTEST_SKIP() << "32-bit Windows redirects no program to SysWOW64: nothing to get round";
    }
    windows = WindowsDirectory();
    // How a 32-bit program names the real System32 on 64-bit Windows. Making a folder there
    // needs an administrator, which the CI runner is.
    realSystem32 = windows + u"\\Sysnative";
  }
  const std::u16string name = u"farthom-e2e-" + Decimal(GetCurrentProcessId());
  TemporaryTree real(realSystem32 + u"\\" + name);
  ASSERT_TRUE(real.made() && real.MakeDirectory(u"inner") &&
              real.MakeFile(u"inner\\only-in-system32.txt") && real.MakeFile(u"a.txt"));
  const std::u16string dropped = windows + u"\\system32\\" + name;
  const std::u16string found = dropped + u"\\inner\\only-in-system32.txt";
  Check({
      {"walked, not measured as a folder that cannot be entered", u" " + dropped, u"", IDNO,
       u"Farthom", WalkOf(3, found) + kQuestion, kYesNo, false, u"", false, u""},
  });
}

// Whether `path`, a DLL search path as Wine's +module trace writes it, lists the current
// directory ".".
bool ListsCurrentDirectory(const std::string& path) {
  size_t start = 0;
  for (;;) {
    const size_t end = path.find(';', start);
    if (path.compare(start, end == std::string::npos ? std::string::npos : end - start, ".") == 0)
      return true;
    if (end == std::string::npos) return false;
    start = end + 1;
  }
}

TEST_F(EndToEnd, NoDllIsSearchedForInTheSurveyedFolder) {
  // The mend itself is tested on every system by windows_services_tests.
  if (!RunningOnWine()) GTEST_SKIP() << "only Wine traces its loader's searches";
  const std::u16string walk = tree_->Path(u"walk");
  const std::u16string found = walk + u"\\sub\\file.txt";
  const Case c = {"answered Yes, the loader traced",
                  u" " + walk,
                  u"",
                  IDYES,
                  u"Farthom",
                  WalkOf(3, found) + kQuestion,
                  kYesNo,
                  false,
                  found,
                  false,
                  u""};
  const Outcome outcome = RunCase(c, u",+module");
  ASSERT_TRUE(outcome.dialogShown);
  EXPECT_EQ(outcome.seen.text, c.text) << Utf8OnOneLine(outcome.seen.text);
  EXPECT_EQ(outcome.exitCode, 0);
  // Explorer is started as before.
  ASSERT_EQ(outcome.children.size(), 1u);
  EXPECT_EQ(outcome.launches, std::vector<std::string>{ExplorerLaunchTrace(found)});

  // Before the program runs, the loader resolves its imports with the default order, "." in it.
  // The program's start-up then looks kernel32's DLL-search functions up by name: from that
  // handle lookup on, no search for a DLL may list the current directory, which is by then the
  // surveyed folder. The dialog's display driver is looked for after it, so there is one at least.
  const std::string startUp = "trace:module:LdrGetDllHandleEx L\"kernel32.dll\"";
  const std::string search = "trace:module:load_dll looking for ";
  size_t line = 0;
  while (line < outcome.trace.size() && outcome.trace[line].find(startUp) == std::string::npos)
    ++line;
  ASSERT_LT(line, outcome.trace.size()) << "the start-up's lookup is not in the trace";
  int searches = 0;
  for (; line < outcome.trace.size(); ++line) {
    const std::string& entry = outcome.trace[line];
    const size_t at = entry.find(search);
    const size_t path = entry.find(" in L\"", at);
    if (at == std::string::npos || path == std::string::npos) continue;
    ++searches;
    const size_t from = path + 5;
    EXPECT_FALSE(ListsCurrentDirectory(entry.substr(from, entry.rfind('"') - from))) << entry;
  }
  EXPECT_GT(searches, 0);
}

}  // namespace
}  // namespace farthom

int wmain(int argc, wchar_t** argv) {
  // GoogleTest takes its own flags out; what is left are ours.
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    const std::u16string argument = farthom::FromWide(argv[i]);
    if (argument.rfind(u"--farthom=", 0) == 0) farthom::gFarthom = argument.substr(10);
    if (argument.rfind(u"--trace=", 0) == 0) farthom::gTrace = argument.substr(8);
  }
  if (farthom::RunningOnWine()) {
    // Wine's Explorer may fault on being started at a file; its crash report must not put a
    // window of its own on the display and wait for someone to close it.
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineDbg", 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) == ERROR_SUCCESS) {
      const DWORD show = 0;
      RegSetValueExW(key, L"ShowCrashDialog", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&show),
                     sizeof(show));
      RegCloseKey(key);
    }
  }
  if (farthom::gFarthom.empty() || farthom::gTrace.empty()) {
    std::fprintf(stdout, "usage: farthom_e2e_tests.exe --farthom=FARTHOM_EXE --trace=FILE\n");
    return 2;
  }
  return RUN_ALL_TESTS();
}

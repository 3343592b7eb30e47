// Fuzz target: any bytes as a tree, a parameter list and an answer; one whole run on the fakes.
//
// The bytes are read as a list of records (see Decode) that build the fake tree: names of any
// UTF-16 code units but NUL and "\", directories that cannot be listed, one link that may point
// back to an ancestor, chains deep enough to pass the listings' limit, and the parameters with
// the probes of each path. The main sequence then runs once and what it reported is checked
// against what the fake listings actually delivered.
//
// Why the walk ends: a listing is opened only for the top or for a directory that a listing
// delivered, and every level's prefix is its parent's plus a name of at least one unit and a "\".
// The listings refuse prefixes whose search text passes 261 units, so no listing below depth 130
// is ever asked for, even around a loop. With one link at most, each pass around a loop is finite
// and the number of passes is bounded by that depth.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "core/main_sequence.h"
#include "tests/fakes/fake_platform.h"

namespace farthom {
namespace {

// Bounds that keep one run quick; all are far past anything the properties depend on. Paths
// twice as long as the listings' limit are still built, so that the walk meets entries whose
// directory it cannot list; deeper ones could never be reached.
constexpr size_t kMaxEntries = 64;
constexpr size_t kMaxChainLength = 32;
constexpr size_t kMaxPathLength = 2 * kSearchTextLength;
// A loop walks its part of the tree once per lap, up to 129 laps; past this many entries in all
// the listings stop early, as when the platform fails in the middle of a listing.
constexpr size_t kMaxDeliveries = 1024;
// The deepest listing number the walk can ask for: depth d needs an open parent whose prefix of
// at least 2 * (d - 1) units still fitted the search text (258 units of prefix).
constexpr int32_t kDeepestListing = 130;

void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "broken property: %s\n", property);
  std::abort();
}

// Reads the input front to back; past its end every read gives zero.
struct ByteReader {
  const uint8_t* data;
  size_t size;
  size_t at = 0;

  bool AtEnd() const { return at >= size; }
  uint8_t Byte() { return at < size ? data[at++] : 0; }
  char16_t Unit() {
    const uint8_t low = Byte();
    return static_cast<char16_t>(low | (Byte() << 8));
  }
  // A length byte, then that many code units.
  std::u16string Text() {
    const size_t length = Byte();
    std::u16string text;
    for (size_t i = 0; i < length && !AtEnd(); ++i) text.push_back(Unit());
    return text;
  }
};

// A name any listing could deliver: never empty, no NUL and no "\" (both are moved to other
// code units, so that every byte pattern still makes a name).
std::u16string AsName(std::u16string text) {
  if (text.empty()) text = u"_";
  for (char16_t& unit : text) {
    if (unit == 0 || unit == u'\\') unit = static_cast<char16_t>(unit | 0x100);
  }
  return text;
}

// The tree as it is built: its directories, each with the fake's listing of it and the names it
// holds (names are unique within a directory on every file system).
struct TreeDirectory {
  std::u16string path;
  std::vector<FakeEntry>* listing;
  std::set<std::u16string> names;
};

struct Tree {
  std::vector<TreeDirectory> directories;  // the top first
  size_t entries = 0;
  bool linked = false;

  Tree() { directories.push_back(TreeDirectory{u"", &gFake.directories[u""], {}}); }

  size_t PickDirectory(uint8_t selector) const { return selector % directories.size(); }

  // Adds an entry unless its directory already holds that name or a bound is reached; true when
  // added. A new directory becomes the last of `directories`.
  bool Add(size_t parent, const std::u16string& name, EntryKind kind) {
    TreeDirectory& into = directories[parent];
    if (entries >= kMaxEntries || into.path.size() + 1 + name.size() > kMaxPathLength ||
        !into.names.insert(name).second) {
      return false;
    }
    ++entries;
    into.listing->push_back(FakeEntry{name, kind});
    if (kind == EntryKind::Directory) {
      std::u16string path = into.path.empty() ? name : into.path + u"\\" + name;
      std::vector<FakeEntry>* listing = &gFake.directories[path];
      directories.push_back(TreeDirectory{std::move(path), listing, {}});
    }
    return true;
  }
};

// Attribute bits a path probe can answer: a directory, a file, a failed query (every bit set),
// and a read-only directory link.
constexpr uint32_t kProbeAttributes[] = {0x10, 0x20, 0xFFFFFFFFu, 0x411};

// Fills the fake from the bytes. Each record starts with a byte whose low three bits say what it
// is:
//   0 parameter: a probe byte (bits 0-1 the path's attributes, bit 2 whether it can be entered,
//     bit 3 whether the probe is scripted at all) and a text (NUL units dropped);
//   1 file, 2 directory: a byte picking the parent directory, and a name;
//   3 a byte picking a directory that cannot be listed (the top included);
//   4 link: a parent byte, a name and a byte picking the directory it leads to (once per run);
//   5 the dialog's answer: a byte, 6 is Yes;
//   6 a byte: bit 0 whether listings start with "." and "..", bits 1-7 when not all zero the
//     number of entries after which every listing stops early;
//   7 chain: a parent byte, a count byte, a length byte and a code unit: nested directories, each
//     named by that unit repeated, deep enough to pass the listings' limit in a few bytes.
void Decode(const uint8_t* data, size_t size, std::vector<std::u16string>& parameters) {
  ByteReader in{data, size};
  Tree tree;
  gFake.deliveryLimit = kMaxDeliveries;
  while (!in.AtEnd()) {
    const int32_t record = in.Byte() & 7;
    switch (record) {
      case 0: {
        const uint8_t probe = in.Byte();
        std::u16string text = in.Text();
        std::u16string parameter;
        for (const char16_t unit : text) {
          if (unit != 0) parameter.push_back(unit);
        }
        if ((probe & 8) != 0 && !parameter.empty()) {
          gFake.attributes[parameter] = kProbeAttributes[probe & 3];
          if ((probe & 4) != 0) gFake.enterable.insert(parameter);
        }
        parameters.push_back(parameter);
        break;
      }
      case 1:
      case 2: {
        const size_t parent = tree.PickDirectory(in.Byte());
        tree.Add(parent, AsName(in.Text()), static_cast<EntryKind>(record));
        break;
      }
      case 3:
        gFake.unlistable.insert(tree.directories[tree.PickDirectory(in.Byte())].path);
        break;
      case 4: {
        const size_t parent = tree.PickDirectory(in.Byte());
        const std::u16string name = AsName(in.Text());
        const std::u16string target = tree.directories[tree.PickDirectory(in.Byte())].path;
        // A link is listed as a directory; what it shows is its target's listing.
        if (tree.linked || !tree.Add(parent, name, EntryKind::Directory)) break;
        // Nothing is added below a link: what is below it is its target's.
        const std::u16string path = tree.directories.back().path;
        tree.directories.pop_back();
        gFake.directories.erase(path);
        gFake.junctions[path] = target;
        tree.linked = true;
        break;
      }
      case 5:
        gFake.buttonCode = in.Byte();
        break;
      case 6: {
        const uint8_t listings = in.Byte();
        gFake.dotEntries = (listings & 1) != 0;
        if ((listings >> 1) != 0) gFake.deliveryLimit = listings >> 1;
        break;
      }
      case 7: {
        size_t parent = tree.PickDirectory(in.Byte());
        const size_t count = in.Byte() % kMaxChainLength + 1;
        const size_t length = in.Byte() % 160 + 1;
        const std::u16string name = AsName(std::u16string(length, in.Unit()));
        for (size_t i = 0; i < count && tree.Add(parent, name, EntryKind::Directory); ++i) {
          parent = tree.directories.size() - 1;
        }
        break;
      }
    }
  }
}

bool IsDotOrDotDot(const std::u16string& name) { return name == u"." || name == u".."; }

bool EndsWith(const std::u16string& text, const std::u16string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Reads the decimal figure that ends at `end` (exclusive); false unless there is one, written
// without a leading zero.
bool FigureBefore(const std::u16string& text, size_t end, uint64_t& value, size_t& start) {
  start = end;
  while (start > 0 && text[start - 1] >= u'0' && text[start - 1] <= u'9') --start;
  if (start == end || end - start > 19 || (text[start] == u'0' && end - start > 1)) return false;
  value = 0;
  for (size_t i = start; i < end; ++i) value = value * 10 + (text[i] - u'0');
  return true;
}

// The length figure of a report, read from the end, so that nothing inside the path can pass for
// it: the question (when asked), " characters", the figure, and the empty line before it.
bool LengthFigure(const std::u16string& text, bool asks, uint64_t& figure) {
  std::u16string rest = text;
  const std::u16string question = u"\r\rOpen Folder (Explorer)?";
  if (asks) {
    if (!EndsWith(rest, question)) return false;
    rest.resize(rest.size() - question.size());
  }
  const std::u16string unit = u" characters";
  if (!EndsWith(rest, unit)) return false;
  size_t start = 0;
  if (!FigureBefore(rest, rest.size() - unit.size(), figure, start)) return false;
  return start >= 2 && rest[start - 1] == u'\r' && rest[start - 2] == u'\r';
}

// The entry count of a walked report's heading.
bool HeadingFigure(const std::u16string& text, uint64_t& figure) {
  const std::u16string lead = u"Longest of ";
  if (text.compare(0, lead.size(), lead) != 0) return false;
  const size_t end = text.find(u' ', lead.size());
  if (end == std::u16string::npos) return false;
  size_t start = 0;
  return FigureBefore(text, end, figure, start) && start == lead.size() &&
         text.compare(end, 9, u" paths:\r\r") == 0;
}

size_t CountOf(const std::u16string& text, char16_t unit) {
  size_t count = 0;
  for (const char16_t each : text) count += each == unit ? 1 : 0;
  return count;
}

void CheckRun(const std::vector<std::u16string>& parameters) {
  // What the parameters asked for, read as the user meant it: up to the first empty parameter,
  // the last one not starting with "/" is the target.
  std::u16string target;
  bool copy = false;
  for (const std::u16string& parameter : parameters) {
    if (parameter.empty()) break;
    if (parameter[0] != u'/') {
      target = parameter;
    } else if (parameter.size() >= 2 && (parameter[1] == u'c' || parameter[1] == u'C')) {
      copy = true;
    }
  }

  // What the listings delivered, in order: the entries, the first longest path, and the
  // directories that the walk had to enter.
  int64_t delivered = 0;
  std::u16string longest;
  std::vector<std::u16string> directoriesMet;
  for (const FakeDelivery& delivery : gFake.deliveries) {
    if (IsDotOrDotDot(delivery.entry.name)) continue;
    ++delivered;
    const std::u16string path = delivery.directory + delivery.entry.name;
    if (path.size() > longest.size()) longest = path;
    if (delivery.entry.kind == EntryKind::Directory) directoriesMet.push_back(path + u"\\");
  }
  Require(gWalkTotals.entryCount == delivered,
          "entryCount equals the entries the listings delivered");
  Require(gWalkTotals.longestPath == longest,
          "longestPath is the first delivered path of the greatest length");

  // Every listing was opened for the top or for a delivered directory, in the order they were
  // met, under the number of its depth; this is what bounds the walk.
  const std::vector<FakeOpening>& openings = gFake.openings;
  if (openings.empty()) {
    Require(gFake.deliveries.empty(), "nothing is delivered without a listing");
  } else {
    Require(openings[0].number == 0 && openings[0].directory.empty(),
            "the walk starts with listing 0 on the top");
    Require(openings.size() == directoriesMet.size() + 1,
            "each delivered directory is opened once, and nothing else");
    for (size_t i = 1; i < openings.size(); ++i) {
      const FakeOpening& opening = openings[i];
      Require(opening.directory == directoriesMet[i - 1],
              "directories are entered as they are met");
      Require(opening.number == static_cast<int32_t>(CountOf(opening.directory, u'\\')),
              "a listing's number is its depth");
      Require(opening.number <= kDeepestListing, "no listing past the deepest the limit allows");
    }
  }

  // The reported path.
  const RunState& run = gRunState;
  const bool walked = run.kind == ReportKind::Walked;
  Require(walked == (!openings.empty() && !longest.empty()),
          "a walk that found an entry is reported as walked");
  if (target.empty()) {
    Require(run.kind == ReportKind::NoPath && run.fullPath.empty(), "no target, no path");
  } else if (walked) {
    const std::u16string separator = EndsWith(target, u"\\") ? u"" : u"\\";
    Require(run.fullPath == target + separator + longest,
            "the walked path joins target and result");
  } else {
    Require(run.kind == ReportKind::Measured && run.fullPath == target,
            "an unwalked target is reported as given");
  }

  // The clipboard, before the dialog and only with /c and a target.
  const std::vector<std::u16string> copied = copy && !target.empty()
                                                 ? std::vector<std::u16string>{run.fullPath}
                                                 : std::vector<std::u16string>{};
  Require(gFake.clipboardTexts == copied, "the copied text is the reported path, when asked");

  // The dialog: exactly one, with the right figures and no line feed of its own.
  Require(gFake.reports.size() == 1, "exactly one dialog");
  const ReportRequest& report = gFake.reports[0];
  Require(CountOf(report.text, u'\n') == CountOf(run.fullPath, u'\n'),
          "the text holds no line feed but the path's own");
  if (run.kind != ReportKind::NoPath) {
    uint64_t figure = 0;
    Require(LengthFigure(report.text, (report.style & kStyleYesNo) != 0, figure),
            "the text ends with the length figure");
    Require(figure == run.fullPath.size(), "the length figure is the path's code-unit count");
  }
  if (walked) {
    uint64_t figure = 0;
    Require(HeadingFigure(report.text, figure), "a walked report starts with its heading");
    Require(figure == static_cast<uint64_t>(delivered), "the heading counts every entry");
  }

  // Explorer: only after a Yes, once, at the reported path, after the dialog.
  const bool yes = gFake.buttonCode == kButtonYes;
  Require(gFake.explorerLaunches.size() == (yes ? 1u : 0u), "Explorer is started only after a Yes");
  if (yes) {
    const FakeExplorerLaunch& launch = gFake.explorerLaunches[0];
    Require(launch.targetPath + launch.longestPath == run.fullPath,
            "Explorer is handed the pieces of the reported path");
    // A target that was entered was walked, and every walk opens its top listing.
    Require(launch.longestPath == longest && launch.entered == !openings.empty(),
            "Explorer is told the walk's result and whether the target was entered");
    const std::vector<std::string>& calls = gFake.calls;
    Require(calls.size() >= 2 && calls[calls.size() - 1] == "OpenExplorerAt" &&
                calls[calls.size() - 2] == "ShowReport",
            "Explorer is started after the dialog");
  }
}

}  // namespace
}  // namespace farthom

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  farthom::ResetFake();
  std::vector<std::u16string> parameters;
  farthom::Decode(data, size, parameters);
  farthom::gFake.parameters = parameters;
  farthom::RunMainSequence();
  farthom::CheckRun(parameters);
  // Nothing of the run is kept: libFuzzer takes memory still held after a run for a possible leak
  // and runs the input a second time to look for one.
  farthom::gFake = farthom::FakePlatform();
  farthom::gRunState = farthom::RunState();
  farthom::gWalkTotals = farthom::WalkTotals();
  return 0;
}

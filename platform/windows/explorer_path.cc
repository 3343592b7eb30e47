// Chooses the text Explorer is given to select: the reported entry as an absolute path Explorer can
// take, its short form, or the nearest folder above it that Explorer can take.
#include "platform/windows/explorer_path.h"

#include <algorithm>
#include <string_view>

#include "platform/windows/extended_path.h"

namespace farthom {

namespace {

// MAX_PATH counts the terminator: Explorer takes paths shorter than this.
constexpr size_t kMaxPath = 260;

// The length of the root of a path Explorer can take: 3 for a drive's "X:\", that of
// "\\server\share" for a share; 0 for every other form.
size_t RootLength(std::u16string_view path) {
  std::u16string_view head;
  std::u16string_view rest;
  if (!SplitExtendedForm(path, head, rest) || head.empty()) return 0;
  if (head == kExtendedPrefix) return 3;
  // A share path: the server's name and the share's, neither of them empty.
  const size_t server = path.find(u'\\', 2);
  if (server == std::u16string_view::npos || server + 1 >= path.size() ||
      path[server + 1] == u'\\') {
    return 0;
  }
  return std::min(path.find(u'\\', server + 1), path.size());
}

// Whether a name in `path`, from `from` on, ends in "." or " ": Windows' normalisation of the path
// would take that off and name another entry, or none.
bool NameEndsInDotOrBlank(std::u16string_view path, size_t from) {
  for (size_t i = from; i < path.size(); ++i) {
    const bool lastOfName = i + 1 == path.size() || path[i + 1] == u'\\';
    if (lastOfName && (path[i] == u'.' || path[i] == u' ')) return true;
  }
  return false;
}

// Whether Explorer takes `path` as it is, testing the names from `namesFrom` on.
bool ExplorerTakes(std::u16string_view path, size_t namesFrom) {
  return path.size() < kMaxPath && !NameEndsInDotOrBlank(path, namesFrom);
}

// The short form of a drive or share path, as an ordinary path; "" when the system has none. The
// lookup is asked in the extended-length form, which it takes at any length.
std::u16string ShortFormOf(const std::u16string& path, const PathLookups& system) {
  std::u16string_view head;
  std::u16string_view rest;
  if (!SplitExtendedForm(path, head, rest)) return u"";
  const std::u16string found =
      WithoutExtendedPrefix(system.shortPath(std::u16string(head) + std::u16string(rest)));
  return RootLength(found) == 0 ? u"" : found;
}

// The folder above `path`, which is longer than its root of `root` characters; the root itself
// ("X:\" or "\\server\share") at the top.
std::u16string ParentOf(const std::u16string& path, size_t root) {
  size_t end = path.size();
  if (path[end - 1] == u'\\') --end;
  const size_t cut = path.rfind(u'\\', end - 1);
  return path.substr(0, cut == std::u16string::npos || cut < root ? root : cut);
}

}  // namespace

std::u16string PathForExplorer(const std::u16string& targetPath, const std::u16string& longestPath,
                               bool entered, const PathLookups& system) {
  const std::u16string reported = targetPath + longestPath;
  // An entered target is the current directory, as Windows normalised it when it entered it. One
  // that was not entered resolves as it did at the start: nothing has changed the current
  // directory since. A target typed in the extended-length form is written as an ordinary one.
  const std::u16string answer = entered ? system.currentDirectory() : system.fullPath(targetPath);
  const std::u16string base = WithoutExtendedPrefix(answer);
  const size_t root = RootLength(base);
  // A volume GUID path, a device path or a failed lookup: Explorer gets what the box shows.
  if (root == 0) return reported;

  std::u16string path = base;
  // The current directory drops the final "\" a folder was typed with, which the box shows.
  const bool separator =
      !longestPath.empty() || (!targetPath.empty() && targetPath.back() == u'\\');
  if (separator && path.back() != u'\\') path += u'\\';
  // Only the names the walk listed are tested for a final dot or blank: the system has already
  // normalised the base, unless it was typed in the extended-length form, which the system takes
  // exactly as it is written.
  size_t namesFrom = base.size() == answer.size() ? path.size() : root;
  path += longestPath;
  for (;;) {
    if (ExplorerTakes(path, namesFrom)) return path;
    // Short names never end in a dot or a blank, but a name without one stays long.
    const std::u16string shortForm = ShortFormOf(path, system);
    if (!shortForm.empty() && ExplorerTakes(shortForm, RootLength(shortForm))) return shortForm;
    if (path.size() <= root) return reported;
    path = ParentOf(path, root);
  }
}

}  // namespace farthom

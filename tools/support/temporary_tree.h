// Trees of directories and files made on the real file system for a test, and removed after it.
#pragma once

#include <string>
#include <vector>

#include "platform/windows/windows_header.h"

namespace farthom {

// A path for a new tree under the system's temporary folder: `stem`, this process's ID and a
// count, so that runs side by side and trees made one after another never meet; never a path
// that already exists.
std::u16string NewTemporaryPath(const std::u16string& stem);

// The current directory, or "" when it cannot be read whole.
std::u16string CurrentDirectory();

// The entry `path` opens, as its volume's serial number and file index: two paths that name it
// by different names (short, long, relative) give the same. Empty when the path opens none.
std::vector<DWORD> IdentityOf(const std::u16string& path);

// A new directory and what is made below it, all removed when the tree goes. Removal lists what
// is there rather than what was made, and never follows a link: a link to a directory goes as
// the link, and the folder it points to stays.
class TemporaryTree {
 public:
  // `root` is an absolute path without a final "\"; it is made at once.
  explicit TemporaryTree(const std::u16string& root);
  ~TemporaryTree();
  TemporaryTree(const TemporaryTree&) = delete;
  TemporaryTree& operator=(const TemporaryTree&) = delete;

  // Whether the root could be made.
  bool made() const { return made_; }

  // Paths are relative to the root, components joined by "\". They are made through "\\?\"
  // paths, so names ending in dots or blanks are kept as they are.
  bool MakeDirectory(const std::u16string& relative);
  bool MakeFile(const std::u16string& relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL);

  // The full path of `relative`; the root itself for "".
  std::u16string Path(const std::u16string& relative = u"") const;

  // Makes the root the current directory until the tree goes; false when that fails.
  bool Enter();

 private:
  std::u16string root_;
  bool made_ = false;
  std::u16string previousDirectory_;
};

}  // namespace farthom

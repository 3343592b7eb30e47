// The shell's folder windows, closed from outside: those that the tests' Yes answers opened.
#pragma once

#include <string>

namespace farthom {

// Closes every folder window of the running shell that shows `folder` or a folder below it,
// found through the shell's own list of its windows. The shell process itself is never ended:
// it is the user's desktop. Does nothing where the shell keeps no such list.
void CloseFolderWindowsWithin(const std::u16string& folder);

}  // namespace farthom

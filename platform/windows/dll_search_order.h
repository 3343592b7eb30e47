// Keeping the current directory out of the process's DLL search order.
#pragma once

namespace farthom {

// The program makes the surveyed folder its current directory, and the dialog and the shell load
// DLLs afterwards; Windows' default search order would look for them in that folder too. Called
// once at start-up, before the first parameter is read: afterwards DLLs are searched only in the
// program's own folder and the system folder where the system allows it, and never in the
// current directory.
void RemoveCurrentDirectoryFromDllSearch();

}  // namespace farthom

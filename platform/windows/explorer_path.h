// The path Explorer is asked to select: the reported entry, written so that Explorer finds it.
//
// Explorer is not long-path aware: it cannot take a path of 260 characters or more, and it reads
// a path as Windows normalises it, which takes a final dot or blank off a name, so that a folder
// "draft." is read as its twin "draft". It also resolves a relative path against its own current
// directory, not against the one the target was typed in. The rule is pure text over the
// system's answers, so that every host can test it.
#pragma once

#include <string>

namespace farthom {

// The system's answers the choice asks for; each gives "" when the system fails.
struct PathLookups {
  std::u16string (*currentDirectory)();
  // The full path of `path` against the current directory, as GetFullPathNameW gives it.
  std::u16string (*fullPath)(const std::u16string& path);
  // The short (8.3) form of an extended-length path, as GetShortPathNameW gives it: a name
  // without a short name stays long.
  std::u16string (*shortPath)(const std::u16string& extendedPath);
};

// The path to hand Explorer for the reported entry `targetPath` + `longestPath`, where
// `targetPath` is the target as the run holds it (as typed, with the "\" added before a walk's
// result) and `longestPath` the walk's relative result, "" when there is none. `entered` tells
// that the target was made the current directory: the folder it names as Windows normalised it.
//
// The entry's absolute path, when it is shorter than 260 characters and no name below the target
// ends in "." or " ": for an absolute target in Windows' normal form, the reported text itself.
// Otherwise its short form, when that passes the same tests; otherwise the nearest folder above
// it, up to the drive's or share's root, that passes them itself or in its short form. The
// reported text unchanged when the target's absolute path cannot be had or has neither a drive
// nor a share root, or when nothing passes.
std::u16string PathForExplorer(const std::u16string& targetPath, const std::u16string& longestPath,
                               bool entered, const PathLookups& system);

}  // namespace farthom

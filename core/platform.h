// The operations the survey core asks of the operating system, as plain functions.
//
// The program links the Windows layer (platform/windows/) behind these declarations; the host
// tests link in-memory fakes (tests/fakes/). Every failure comes back as a value: false, 0, none or
// an empty text. A missing text and the empty text are the same thing to every operation here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace farthom {

struct ReportRequest;

// Prepares the common controls once, before the first parameter is read.
void StartCommonControls();

// The next command-line parameter, the program's own path never included; the empty text when
// none remains (an empty quoted parameter gives the empty text too).
std::u16string NextParameter();

// The system's Unicode lower-case mapping of a text.
std::u16string LowerCaseText(const std::u16string& text);

// The attribute bits of a path; 0xFFFFFFFF when the query fails or the path is empty.
uint32_t PathAttributes(const std::u16string& path);

// Makes the path the process's current directory; false on failure or for an empty path.
bool ChangeCurrentDirectory(const std::u16string& path);

// A numbered directory listing. The record's layout belongs to whoever implements the listings;
// the core only tests whether an opening gave one.
struct ListingSlot;

// Starts listing `directory` (relative to the current directory; "" is the current directory)
// for entries matching `pattern` under listing `number`, closing that number's previous search.
// None (nullptr) when the directory cannot be listed; a directory without a matching entry gives
// an open listing that delivers nothing.
ListingSlot* OpenListing(int32_t number, const std::u16string& directory,
                         const std::u16string& pattern);

// Makes the next entry of listing `number` current; false when there is none.
bool AdvanceListing(int32_t number);

// What a listing's current entry is.
enum class EntryKind : int32_t {
  None = 0,       // the number holds no listing
  Other = 1,      // a file, or anything else that is not a directory
  Directory = 2,  // a directory, a junction or a directory link alike
};

// A listing's search text (directory, separator and pattern) has room for this many characters
// and a terminator; a directory whose search text would be longer cannot be listed, so the walk
// with its "*.*" lists relative prefixes of up to 258 characters.
constexpr size_t kSearchTextLength = 261;

EntryKind ListingEntryKind(int32_t number);

// The current entry's long name, without a path; empty when `number` holds no listing.
std::u16string ListingEntryName(int32_t number);

// Puts the text on the clipboard as Unicode text; the clipboard's handle to it, 0 on failure.
uintptr_t CopyTextToClipboard(const std::u16string& text);

// Shows the modal report and returns the button code (6 is Yes; 0 when no dialog appeared).
int32_t ShowReport(const ReportRequest& request);

// Starts Explorer with the reported path, `targetPath` followed by `longestPath`, selected; does
// not wait for it. `longestPath` is the walk's relative result, "" when there is none, and
// `entered` tells that the target was made the current directory: a relative target no longer
// resolves against it then, and the system has normalised the folder it names.
void OpenExplorerAt(const std::u16string& targetPath, const std::u16string& longestPath,
                    bool entered);

}  // namespace farthom

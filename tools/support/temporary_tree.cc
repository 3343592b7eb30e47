// Trees of directories and files made on the real file system for a test, and removed after it.
#include "tools/support/temporary_tree.h"

#include "platform/windows/wide_text.h"

namespace farthom {

namespace {

std::u16string Decimal(unsigned long value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

// Removes a directory and everything in it; `directory` is a "\\?\" path.
void RemoveDirectoryTree(const std::u16string& directory) {
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(WideText(directory + u"\\*"), &data);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::u16string name = FromWide(data.cFileName);
      if (name == u"." || name == u"..") continue;
      const std::u16string path = directory + u"\\" + name;
      const DWORD attributes = data.dwFileAttributes;
      if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        SetFileAttributesW(WideText(path), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(WideText(path));
      } else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        RemoveDirectoryW(WideText(path));
      } else {
        RemoveDirectoryTree(path);
      }
    } while (FindNextFileW(search, &data));
    FindClose(search);
  }
  RemoveDirectoryW(WideText(directory));
}

}  // namespace

// The current directory, or "" when it cannot be read whole.
std::u16string CurrentDirectory() {
  return SystemText([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); });
}

std::vector<DWORD> IdentityOf(const std::u16string& path) {
  HANDLE file = CreateFileW(WideText(path), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  BY_HANDLE_FILE_INFORMATION info = {};
  const bool known = file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  if (!known) return {};
  return {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

std::u16string NewTemporaryPath(const std::u16string& stem) {
  static unsigned long made = 0;
  wchar_t folder[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  std::u16string base = length == 0 || length > MAX_PATH ? u"." : FromWide(folder);
  if (base.back() == u'\\') base.pop_back();
  base += u"\\" + stem + u"-" + Decimal(GetCurrentProcessId()) + u"-";
  // A run that crashed leaves its tree behind, and Wine hands out the same process IDs again
  // after each start of its server: a name already taken is passed over, never reused.
  std::u16string path;
  do {
    path = base + Decimal(++made);
  } while (GetFileAttributesW(WideText(u"\\\\?\\" + path)) != INVALID_FILE_ATTRIBUTES);
  return path;
}

TemporaryTree::TemporaryTree(const std::u16string& root) : root_(root) {
  made_ = CreateDirectoryW(WideText(u"\\\\?\\" + root_), nullptr) != FALSE;
}

TemporaryTree::~TemporaryTree() {
  // A directory that is current somewhere cannot be removed.
  if (!previousDirectory_.empty()) SetCurrentDirectoryW(WideText(previousDirectory_));
  if (made_) RemoveDirectoryTree(u"\\\\?\\" + root_);
}

bool TemporaryTree::MakeDirectory(const std::u16string& relative) {
  return CreateDirectoryW(WideText(u"\\\\?\\" + Path(relative)), nullptr) != FALSE;
}

bool TemporaryTree::MakeFile(const std::u16string& relative, DWORD attributes) {
  const HANDLE file = CreateFileW(WideText(u"\\\\?\\" + Path(relative)), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, attributes, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

std::u16string TemporaryTree::Path(const std::u16string& relative) const {
  return relative.empty() ? root_ : root_ + u"\\" + relative;
}

bool TemporaryTree::Enter() {
  const std::u16string current = CurrentDirectory();
  if (current.empty() || !SetCurrentDirectoryW(WideText(root_))) return false;
  if (previousDirectory_.empty()) previousDirectory_ = current;
  return true;
}

}  // namespace farthom

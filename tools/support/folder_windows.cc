// The shell's folder windows, found through its list of windows (IShellWindows) and closed.
#include "tools/support/folder_windows.h"

#include <vector>

#include "platform/windows/wide_text.h"
#include "platform/windows/windows_header.h"
// They need the types of <windows.h> first.
#include <exdisp.h>
#include <objbase.h>
#include <oleauto.h>
#include <shlwapi.h>

namespace farthom {

namespace {

// A folder's path as the shell writes it, lower-cased, for comparing: its long form where it
// exists (a folder may be named through short names), else as it is.
std::u16string ComparablePath(const std::u16string& path) {
  std::u16string comparable = SystemText(
      [&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(WideText(path), buffer, size); });
  if (comparable.empty()) comparable = path;
  if (!comparable.empty()) {
    CharLowerBuffW(reinterpret_cast<wchar_t*>(&comparable[0]),
                   static_cast<DWORD>(comparable.size()));
  }
  return comparable;
}

// The folder a shell window shows, comparable; "" when it shows none of the file system.
std::u16string FolderShown(IWebBrowser2* browser) {
  BSTR url = nullptr;
  if (FAILED(browser->get_LocationURL(&url)) || url == nullptr) return u"";
  std::vector<wchar_t> path(32768);
  DWORD length = static_cast<DWORD>(path.size());
  const bool converted = SUCCEEDED(PathCreateFromUrlW(url, path.data(), &length, 0));
  SysFreeString(url);
  return converted ? ComparablePath(FromWide(path.data())) : u"";
}

}  // namespace

void CloseFolderWindowsWithin(const std::u16string& folder) {
  const std::u16string root = ComparablePath(folder);
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IShellWindows* windows = nullptr;
  if (!root.empty() &&
      SUCCEEDED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                                 reinterpret_cast<void**>(&windows)))) {
    long count = 0;
    windows->get_Count(&count);
    // From the last one: closing a window renumbers those after it.
    for (long i = count - 1; i >= 0; --i) {
      VARIANT index;
      VariantInit(&index);
      index.vt = VT_I4;
      index.lVal = i;
      IDispatch* item = nullptr;
      if (windows->Item(index, &item) != S_OK || item == nullptr) continue;
      IWebBrowser2* browser = nullptr;
      if (SUCCEEDED(item->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser)))) {
        const std::u16string shown = FolderShown(browser);
        if (!shown.empty() && (shown == root || shown.rfind(root + u"\\", 0) == 0)) browser->Quit();
        browser->Release();
      }
      item->Release();
    }
    windows->Release();
  }
  if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace farthom

// A stand-in planted as Explorer.exe in a surveyed folder: if it is ever started, it leaves a
// marker file beside itself, which the end-to-end tests look for after the user answered Yes.
#include "platform/windows/windows_header.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t path[MAX_PATH + 32];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  DWORD end = length;
  while (end > 0 && path[end - 1] != L'\\') --end;
  const wchar_t marker[] = L"planted-explorer-ran.txt";
  for (DWORD i = 0; i < sizeof(marker) / sizeof(marker[0]); ++i) path[end + i] = marker[i];
  const HANDLE file =
      CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(file);
  return 0;
}

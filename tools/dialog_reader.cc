// Runs farthom.exe on the given parameters, prints its dialog's title and text, and answers it:
// for machines without a display of their own, where the dialog appears on a virtual one, and
// for pictures of the real dialog on Windows itself.
//
//   farthom_dialog_reader.exe [--picture=FILE.bmp] FARTHOM_EXE [PARAMETER...]
//
// With --picture, a picture of the dialog is saved as a 32-bit BMP first: drawn by the dialog
// itself on Windows, copied from the screen under Wine.
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/windows/wide_text.h"
#include "platform/windows/windows_header.h"
#include "tools/support/program_run.h"
#include "tools/support/utf8.h"

namespace {

// UTF-8 for the terminal; the dialog's line breaks are single carriage returns, which a
// terminal wants as line feeds.
void Print(std::u16string text) {
  for (char16_t& unit : text) {
    if (unit == u'\r') unit = u'\n';
  }
  const std::string out = farthom::Utf8(text);
  std::fwrite(out.data(), 1, out.size(), stdout);
}

// PW_RENDERFULLCONTENT: the window as it is composed on screen, drawn by itself (Windows 8.1 and
// later). PrintWindow's own page does not list it, and the headers define it only for Windows
// versions newer than the tools are built for.
constexpr UINT kPrintWindowRenderFullContent = 2;

// Saves `window`, frame included, as a top-down 32-bit BMP; false when any step fails. On Windows
// the box draws itself into the picture, so nothing that stands in front of it on the screen (a
// console, a folder window) can take its place. Under Wine PrintWindow gives black, so there the
// box is brought to the front and copied from the screen, cut to the screen where it is larger.
bool SavePicture(HWND window, const std::u16string& path) {
  const bool drawnByItself = !farthom::RunningOnWine();
  if (!drawnByItself) SetForegroundWindow(window);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(500);
  RECT frame = {};
  if (!GetWindowRect(window, &frame)) return false;
  LONG left = frame.left, top = frame.top, right = frame.right, bottom = frame.bottom;
  if (!drawnByItself) {
    left = std::max<LONG>(left, GetSystemMetrics(SM_XVIRTUALSCREEN));
    top = std::max<LONG>(top, GetSystemMetrics(SM_YVIRTUALSCREEN));
    right = std::min<LONG>(
        right, GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN));
    bottom = std::min<LONG>(
        bottom, GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN));
  }
  const LONG width = right - left;
  const LONG height = bottom - top;
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows from the top down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  bool drawn = false;
  if (memory != nullptr && picture != nullptr) {
    HGDIOBJ previous = SelectObject(memory, picture);
    drawn = drawnByItself ? PrintWindow(window, memory, kPrintWindowRenderFullContent) != 0
                          : BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memory, previous);
  }
  bool saved = false;
  if (drawn) {
    const DWORD pixelBytes = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof(header) + sizeof(info.bmiHeader);
    header.bfSize = header.bfOffBits + pixelBytes;
    HANDLE file = CreateFileW(farthom::WideText(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      saved = WriteFile(file, &header, sizeof(header), &written, nullptr) &&
              WriteFile(file, &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr) &&
              WriteFile(file, pixels, pixelBytes, &written, nullptr) && written == pixelBytes;
      CloseHandle(file);
    }
  }
  if (picture != nullptr) DeleteObject(picture);
  if (memory != nullptr) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return saved;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace farthom;
  // Line feeds as they are: the C runtime would otherwise add a carriage return to each.
  _setmode(_fileno(stdout), _O_BINARY);
  int first = 1;
  std::u16string picture;
  if (argc > 1 && FromWide(argv[1]).rfind(u"--picture=", 0) == 0) {
    picture = FromWide(argv[1]).substr(10);
    first = 2;
  }
  if (argc <= first) {
    std::fprintf(stderr,
                 "usage: farthom_dialog_reader.exe [--picture=FILE.bmp] FARTHOM_EXE "
                 "[PARAMETER...]\n");
    return 2;
  }
  std::u16string commandLine = CommandLineToken(FromWide(argv[first]));
  for (int i = first + 1; i < argc; ++i) commandLine += u" " + CommandLineToken(FromWide(argv[i]));

  ProgramStart start;
  start.commandLine = commandLine;
  ProgramRun run = StartProgram(start);
  if (!run.started) {
    std::fprintf(stderr, "farthom.exe could not be started\n");
    return 1;
  }
  // A large tree takes its time to walk, so the dialog is awaited as long as the program runs.
  if (!WaitForDialog(run, INFINITE)) {
    std::fprintf(stderr, "farthom.exe showed no dialog\n");
    CloseRun(run);
    return 1;
  }
  const DialogSeen seen = ReadDialog(run.dialog);
  const bool pictureSaved = picture.empty() || SavePicture(run.dialog, picture);
  if (!pictureSaved) std::fprintf(stderr, "the dialog's picture could not be saved\n");
  Print(u"Title: " + seen.title + u"\r\r" + seen.text + u"\r\r");
  // No, where there is a question, so that no Explorer opens on a display nobody sees.
  const bool question = seen.buttons.count(IDNO) != 0;
  Print(std::u16string(seen.iconShown ? u"(icon) " : u"") +
        (question ? u"[Yes] [No] -> answered No\r" : u"[OK] -> answered OK\r"));
  AnswerDialog(run.dialog, question ? IDNO : IDOK);
  const int64_t code = WaitForExit(run, 30000);
  std::printf("farthom.exe exit code: %lld\n", static_cast<long long>(code));
  CloseRun(run);
  return code == 0 && pictureSaved ? 0 : 1;
}

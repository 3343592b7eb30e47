// Runs farthom.exe on the given parameters, prints its dialog's title and text, and answers it:
// for machines without a display of their own, where the dialog appears on a virtual one.
//
//   farthom_dialog_reader.exe FARTHOM_EXE [PARAMETER...]
#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/windows/wide_text.h"
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace farthom;
  // Line feeds as they are: the C runtime would otherwise add a carriage return to each.
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) {
    std::fprintf(stderr, "usage: farthom_dialog_reader.exe FARTHOM_EXE [PARAMETER...]\n");
    return 2;
  }
  std::u16string commandLine = CommandLineToken(FromWide(argv[1]));
  for (int i = 2; i < argc; ++i) commandLine += u" " + CommandLineToken(FromWide(argv[i]));

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
  Print(u"Title: " + seen.title + u"\r\r" + seen.text + u"\r\r");
  // No, where there is a question, so that no Explorer opens on a display nobody sees.
  const bool question = seen.buttons.count(IDNO) != 0;
  Print(std::u16string(seen.iconShown ? u"(icon) " : u"") +
        (question ? u"[Yes] [No] -> answered No\r" : u"[OK] -> answered OK\r"));
  AnswerDialog(run.dialog, question ? IDNO : IDOK);
  const int64_t code = WaitForExit(run, 30000);
  std::printf("farthom.exe exit code: %lld\n", static_cast<long long>(code));
  CloseRun(run);
  return code == 0 ? 0 : 1;
}

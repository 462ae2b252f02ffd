// Runs a program, reads and closes every message box it shows, and reports
// the boxes and the program's exit code, so that tests under Wine can check
// what a GUI program told its user.
//
//   note_reader.exe [--timeout-ms N] [--hold-file PATH] PROGRAM [ARGS...]
//
// PROGRAM is started with CreateProcessA (ARGS quoted the way the C runtime
// splits them again). A message box is a visible top-level window of class
// "#32770" that belongs to the program's process. Each box is read once it
// is visible, then closed by posting WM_COMMAND with IDOK. --hold-file makes
// the reader write the box's screen rectangle "left top right bottom" into
// PATH and wait until someone deletes PATH before it closes the box (for a
// screenshot). --timeout-ms (default 30000) bounds the whole run; then the
// program is terminated.
//
// Output, on stdout, one item per line, LF line ends, UTF-8:
//   note N             the Nth box (from 1); the lines below up to the next
//                      "note" or "notes" describe it
//   caption TEXT       its title
//   text TEXT          its message
//   buttons NAME...    its visible buttons, left to right, named by id: OK
//                      CANCEL ABORT RETRY IGNORE YES NO CLOSE HELP TRYAGAIN
//                      CONTINUE, or the decimal id for any other
//   button NAME TEXT   one line per visible button, in the same order, with
//                      its text as drawn ("&" marks the access key)
//   icon none|shown    whether the box shows an icon
//   notes N            how many boxes there were, always printed
//   exit CODE          the program's exit code as a signed 32-bit number
//                      (-1, not 4294967295), when it ended
//   timeout            instead of "exit": the program was terminated
// TEXT is percent-encoded: "%", every byte below 0x20 and 0x7F are written
// as "%XX" (two upper-case hex digits), everything else as it is; so a text
// with line breaks stays on one line and decodes exactly.
//
// Exit code: 0 when the program ran to its end, 2 on the reader's own errors
// (bad arguments, CreateProcessA failed; a message on stderr), 3 on timeout.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The message text of a message box is the static control with this id, in
// Windows and in Wine alike.
constexpr int kMessageId = 0xFFFF;
constexpr DWORD kPollMs = 20;

struct Options {
  DWORD timeoutMs = 30000;
  const char* holdFile = nullptr;
  int programIndex = 0;  // index in argv of PROGRAM; 0 when missing
};

// Parses the options; returns false (after a message) when they are wrong.
bool parseOptions(int argc, char** argv, Options* options) {
  int i = 1;
  for (; i < argc && strncmp(argv[i], "--", 2) == 0; ++i) {
    if (i + 1 >= argc) break;
    if (strcmp(argv[i], "--timeout-ms") == 0) {
      char* end = nullptr;
      unsigned long value = strtoul(argv[++i], &end, 10);
      if (*end != '\0' || value == 0) {
        fprintf(stderr, "note_reader: bad --timeout-ms\n");
        return false;
      }
      options->timeoutMs = static_cast<DWORD>(value);
    } else if (strcmp(argv[i], "--hold-file") == 0) {
      options->holdFile = argv[++i];
    } else {
      fprintf(stderr, "note_reader: unknown option %s\n", argv[i]);
      return false;
    }
  }
  if (i >= argc) {
    fprintf(stderr, "usage: note_reader.exe [--timeout-ms N] [--hold-file PATH] PROGRAM [ARGS...]\n");
    return false;
  }
  options->programIndex = i;
  return true;
}

// Appends `arg` to `line` quoted so that the C runtime's splitting gives it
// back unchanged: backslashes are literal except before a quote.
void appendQuoted(std::string* line, const char* arg) {
  if (!line->empty()) line->push_back(' ');
  if (*arg != '\0' && strpbrk(arg, " \t\n\v\"") == nullptr) {
    line->append(arg);
    return;
  }
  line->push_back('"');
  size_t backslashes = 0;
  for (const char* p = arg; *p != '\0'; ++p) {
    if (*p == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped.
    if (*p == '"') backslashes = backslashes * 2 + 1;
    line->append(backslashes, '\\');
    backslashes = 0;
    line->push_back(*p);
  }
  // Backslashes before the closing quote are doubled too.
  line->append(backslashes * 2, '\\');
  line->push_back('"');
}

// A window's text as UTF-8, empty when it has none; the wide calls keep the
// result independent of the ANSI code page Wine picked.
std::string textOf(HWND window) {
  int length = GetWindowTextLengthW(window);
  if (length <= 0) return std::string();
  std::vector<wchar_t> wide(static_cast<size_t>(length) + 1);
  int got = GetWindowTextW(window, wide.data(), length + 1);
  int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), got, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), got, &text[0], bytes, nullptr, nullptr);
  return text;
}

// `text` percent-encoded as the header describes.
std::string escaped(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c == '%' || c < 0x20 || c == 0x7F) {
      char hex[4];
      snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

// The name of a message box button id.
std::string buttonName(int id) {
  static const char* const kNames[] = {"OK",    "CANCEL", "ABORT", "RETRY",    "IGNORE",  "YES",
                                       "NO",    "CLOSE",  "HELP",  "TRYAGAIN", "CONTINUE"};
  if (id >= IDOK && id <= IDCONTINUE) return kNames[id - IDOK];
  return std::to_string(id);
}

struct BoxSearch {
  DWORD processId;
  const std::vector<HWND>* seen;
  HWND found;
};

BOOL CALLBACK findBoxCallback(HWND window, LPARAM param) {
  BoxSearch* search = reinterpret_cast<BoxSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  char className[16];
  if (GetClassNameA(window, className, sizeof className) == 0 || strcmp(className, "#32770") != 0) return TRUE;
  if (std::find(search->seen->begin(), search->seen->end(), window) != search->seen->end()) return TRUE;
  search->found = window;
  return FALSE;
}

// A visible message box of `processId` not in `seen`, or null.
HWND findNewBox(DWORD processId, const std::vector<HWND>& seen) {
  BoxSearch search = {processId, &seen, nullptr};
  EnumWindows(findBoxCallback, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct Control {
  int left;
  int id;
  std::string text;
};

struct BoxContents {
  std::vector<Control> buttons;
  bool icon = false;
};

BOOL CALLBACK controlCallback(HWND control, LPARAM param) {
  BoxContents* contents = reinterpret_cast<BoxContents*>(param);
  if (!IsWindowVisible(control)) return TRUE;
  char className[16];
  if (GetClassNameA(control, className, sizeof className) == 0) return TRUE;
  if (_stricmp(className, "Button") == 0) {
    RECT rect;
    GetWindowRect(control, &rect);
    contents->buttons.push_back({rect.left, GetDlgCtrlID(control), textOf(control)});
  } else if (_stricmp(className, "Static") == 0 &&
             (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    // Wine keeps the icon control, visible and empty, in a box without an
    // icon (Windows leaves it out): only an icon handle in it counts.
    if (SendMessageW(control, STM_GETICON, 0, 0) != 0) contents->icon = true;
  }
  return TRUE;
}

// Prints the report of box number `number`.
void reportBox(HWND box, int number) {
  BoxContents contents;
  EnumChildWindows(box, controlCallback, reinterpret_cast<LPARAM>(&contents));
  std::sort(contents.buttons.begin(), contents.buttons.end(),
            [](const Control& a, const Control& b) { return a.left < b.left; });
  printf("note %d\n", number);
  printf("caption %s\n", escaped(textOf(box)).c_str());
  HWND message = GetDlgItem(box, kMessageId);
  printf("text %s\n", escaped(message ? textOf(message) : std::string()).c_str());
  printf("buttons");
  for (const Control& button : contents.buttons) printf(" %s", buttonName(button.id).c_str());
  printf("\n");
  for (const Control& button : contents.buttons)
    printf("button %s %s\n", buttonName(button.id).c_str(), escaped(button.text).c_str());
  printf("icon %s\n", contents.icon ? "shown" : "none");
  fflush(stdout);
}

// Writes the box's rectangle to `path` and waits until the file is gone or
// `deadline` (a GetTickCount value) has passed; false on a write failure.
bool holdBox(HWND box, const char* path, DWORD deadline) {
  // Under Wine's X11 driver a box of a program started from a windowless
  // process is the foreground window but keeps the caption of an inactive
  // one; a picture should show it the way the user sees it, active.
  SetForegroundWindow(box);
  SendMessageW(box, WM_NCACTIVATE, TRUE, 0);
  RECT rect;
  GetWindowRect(box, &rect);
  FILE* file = fopen(path, "wb");
  if (file == nullptr) return false;
  fprintf(file, "%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
  if (fclose(file) != 0) return false;
  while (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES && static_cast<LONG>(deadline - GetTickCount()) > 0)
    Sleep(kPollMs);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // Binary mode: MinGW's C runtime would write CR LF.
  _setmode(_fileno(stdout), _O_BINARY);
  Options options;
  if (!parseOptions(argc, argv, &options)) return 2;

  std::string commandLine;
  for (int i = options.programIndex; i < argc; ++i) appendQuoted(&commandLine, argv[i]);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  // No handle inheritance: the program under test gets none of ours.
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    fprintf(stderr, "note_reader: cannot start %s (error %lu)\n", argv[options.programIndex], GetLastError());
    return 2;
  }
  CloseHandle(process.hThread);

  const DWORD deadline = GetTickCount() + options.timeoutMs;
  std::vector<HWND> seen;
  bool ended = false;
  while (!ended) {
    if (HWND box = findNewBox(process.dwProcessId, seen)) {
      seen.push_back(box);
      reportBox(box, static_cast<int>(seen.size()));
      if (options.holdFile != nullptr && !holdBox(box, options.holdFile, deadline)) {
        fprintf(stderr, "note_reader: cannot write %s\n", options.holdFile);
      }
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    ended = WaitForSingleObject(process.hProcess, kPollMs) == WAIT_OBJECT_0;
    if (!ended && static_cast<LONG>(deadline - GetTickCount()) <= 0) break;
  }
  printf("notes %d\n", static_cast<int>(seen.size()));
  if (!ended) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 5000);
    printf("timeout\n");
    return 3;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  printf("exit %ld\n", static_cast<long>(static_cast<LONG>(code)));
  return 0;
}

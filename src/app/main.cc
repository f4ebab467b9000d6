// Entry point: one run over the source file named on the command line, with
// the terminal as the log window. Exits 0 when the run reported no error.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "platform/files.h"
#include "platform/terminal_window.h"

namespace {

const char kUsage[] =
    "Usage: vexnorscript SOURCE [-visualization ON] [-debug ON|OFF]\n"
    "\n"
    "Translates the !Vexnor$ auto-tuning directives of a Fortran source file.\n"
    "Writes the folder Vexnor beside SOURCE with the transformed source\n"
    "Vexnor_<name> and the generated files Vexnor_ControlRoutines.f,\n"
    "Vexnor_InstallRoutines.f, Vexnor_StaticRoutines.f and Vexnor_DynamicRoutines.f.\n"
    "\n"
    "  -visualization ON  also write HTML pages that chart the tuning\n"
    "  -debug ON|OFF      measurement prints in the generated code (default ON)\n"
    "  --help             show this text\n"
    "  --version          show the version\n"
    "\n"
    "The run log goes to standard output and to VexScriptLog.txt beside the\n"
    "executable. Exit status: 0 on success, 1 after an error or an interrupted\n"
    "run, 130 when a second Ctrl-C ends the run at once.\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (args.size() == 1 && args[0] == "--version") {
    std::printf("vexnorscript %s\n", VEXNOR_VERSION);
    return 0;
  }
  try {
    platform::TTerminalWindow window;
    TMainF form(window, platform::ExecutableFolder());
    form.FormCreate(args);
    form.FormActivate();
    int status = form.ErrorFlag ? 1 : 0;
    form.FormDestroy();
    return status;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vexnorscript: %s\n", e.what());
    return 1;
  }
}

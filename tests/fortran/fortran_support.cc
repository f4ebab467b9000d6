// Compiling and running Fortran under MPI for the tests.
#include "fortran/fortran_support.h"

namespace fortran {

std::string IncludeFolder() { return std::string(VEXNOR_SOURCE_DIR) + "/vex_data"; }

std::string CompileCommand(const std::string& includeFolder) {
  return "mpif90 -fallow-argument-mismatch -I " + includeFolder;
}

std::string TFortranWorkspace::Write(const std::string& name, const std::string& text) const {
  return folder_.Write(name, text);
}

TCommandResult TFortranWorkspace::Compile(const std::vector<std::string>& files,
                                          const std::string& executable,
                                          const std::vector<std::string>& extraFlags) const {
  std::string command =
      "timeout 300 " + CompileCommand(ShellQuote(IncludeFolder())) + " -Werror=line-truncation";
  for (const std::string& flag : extraFlags) {
    command += " " + ShellQuote(flag);
  }
  for (const std::string& file : files) {
    command += " " + ShellQuote(file);
  }
  command += " -o " + ShellQuote(executable);
  return RunCommand(command, Path());
}

TCommandResult TFortranWorkspace::RunMpi(int processes, const std::string& executable) const {
  std::string command = "OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1 timeout 120 "
                        "mpirun --oversubscribe -np " +
                        std::to_string(processes) + " ./" + ShellQuote(executable) + " < /dev/null";
  return RunCommand(command, Path());
}

}  // namespace fortran

// Compiling and running Fortran under MPI for the tests.
#include "fortran/fortran_support.h"

#include <sys/wait.h>

#include <cstdio>

namespace fortran {

namespace {

// Quotes text for the POSIX shell.
std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

// Runs command through the shell in folder, collecting both output streams.
TCommandResult RunCommand(const std::string& folder, const std::string& command) {
  TCommandResult result;
  std::string line = "cd " + Quote(folder) + " && " + command + " 2>&1";
  std::FILE* pipe = popen(line.c_str(), "r");
  if (pipe == nullptr) {
    result.Output = "cannot start: " + line;
    return result;
  }
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.Output.append(buffer, n);
  int status = pclose(pipe);
  if (status == -1) {
    result.Status = -1;
  } else if (WIFEXITED(status)) {
    result.Status = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.Status = 128 + WTERMSIG(status);
  }
  return result;
}

}  // namespace

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
      "timeout 300 " + CompileCommand(Quote(IncludeFolder())) + " -Werror=line-truncation";
  for (const std::string& flag : extraFlags) command += " " + Quote(flag);
  for (const std::string& file : files) command += " " + Quote(file);
  command += " -o " + Quote(executable);
  return RunCommand(Path(), command);
}

TCommandResult TFortranWorkspace::RunMpi(int processes, const std::string& executable) const {
  std::string command =
      "OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1 timeout 120 "
      "mpirun --oversubscribe -np " +
      std::to_string(processes) + " ./" + Quote(executable) + " < /dev/null";
  return RunCommand(Path(), command);
}

}  // namespace fortran

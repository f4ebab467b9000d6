// Compiling generated-style Fortran with the MPI compiler and running it
// under mpirun, for tests that prove the Fortran side.
#pragma once

#include <string>
#include <vector>

#include "test_support.h"

namespace fortran {

using ::TCommandResult;

// The repository's vex_data folder, which holds VexnorScript.h.
std::string IncludeFolder();

// The compile command users are told to run, up to the source files:
// "mpif90 -fallow-argument-mismatch -I <include folder>".
std::string CompileCommand(const std::string& includeFolder);

// A fresh temporary folder in which Fortran files are written, compiled
// and run; removed with the object.
class TFortranWorkspace {
 public:
  const std::string& Path() const { return folder_.Path(); }

  // Writes text into the file name inside the folder; returns its path.
  std::string Write(const std::string& name, const std::string& text) const;

  // Compiles the named files of the folder into the executable, with
  // CompileCommand(IncludeFolder()) plus -Werror=line-truncation and the
  // extra flags, inside the folder, ended after 300 seconds. Ok() when the
  // compiler succeeded.
  TCommandResult Compile(const std::vector<std::string>& files,
                         const std::string& executable = "prog",
                         const std::vector<std::string>& extraFlags = {}) const;

  // Runs the executable of the folder under "mpirun --oversubscribe -np
  // processes" in the folder (running as root allowed, no standard input),
  // ended after 120 seconds.
  TCommandResult RunMpi(int processes, const std::string& executable = "prog") const;

 private:
  TTempFolder folder_;
};

}  // namespace fortran

// Pass 5: output folder, files and the generation order.
#include "output/pass5.h"

#include <unordered_set>

#include "codegen/candidates.h"
#include "frontend/text.h"
#include "output/control_routines.h"
#include "output/output_messages.h"
#include "output/source_writer.h"

namespace {

// Names the tuning drivers declare for themselves (and the dispatchers'
// case selector); a passed variable of the same name would be declared
// twice. The fitting names count only where a region fits.
const char* const kDriverNames[] = {
    "NN",      "iusw1",    "F1",      "t1",        "t2",     "t_all",     "bt",
    "dBestTime1", "iBestSw1", "inum",  "iloop_v",   "LoopCount", "ExecState", "cbuf",
    "t_all_sum", "iloop_n", "iloop_vi", "iloop_install", "iloop_static", "iloop_dynamic",
    "Vexnor_Routines"};
const char* const kFittingNames[] = {"xDim", "yEst", "x", "y", "a_lsm", "aa_lsm", "nparm",
                                     "n_lsm", "nsamp", "m_lsm", "isamp_indx", "idummy", "isw",
                                     "iii"};

}  // namespace

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) {
    return platform::CurrentFolder();
  }
  if (slash == 0) {
    return path.substr(0, 1);
  }
  return path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

TPass5::TPass5(const std::string& sourcePath, TTokenList& tokenList, TValList& valList,
               TRegionList& regionList, TGenContext& context, std::string executableFolder)
    : SourceName(FileNameOf(sourcePath)),
      TokenList(tokenList),
      ValList(valList),
      RegionList(regionList),
      context_(context),
      executableFolder_(std::move(executableFolder)) {
  // The source's folder is found as the source was, ignoring letter case;
  // what is created in it gets exactly the names below.
  const std::string folder = platform::ResolvePath(FolderOf(sourcePath)) + "\\Vexnor";
  if (!platform::CreateFolders(folder)) {
    context_.Reporter.ReportError(
        output_messages::CannotCreateFolder(platform::UnifySeparators(folder)));
    ready_ = false;
  }
  // Each file is written under a temporary name and gets its own name only
  // when the run has succeeded, so a failed run leaves the earlier output.
  SourceFile.OpenTemporary(folder + "/Vexnor_" + SourceName);
  ControlFile.OpenTemporary(folder + "/Vexnor_ControlRoutines.f");
  InstallFile.OpenTemporary(folder + "/Vexnor_InstallRoutines.f");
  StaticFile.OpenTemporary(folder + "/Vexnor_StaticRoutines.f");
  DynamicFile.OpenTemporary(folder + "/Vexnor_DynamicRoutines.f");
  for (platform::TTextFile* file : {&SourceFile, &InstallFile, &StaticFile, &DynamicFile, &ControlFile}) {
    if (!file->IsOpen()) {
      context_.Reporter.ReportError(output_messages::CannotOpenFile(file->Path(), file->Error()));
      ready_ = false;
    }
  }
}

// Closing removes every temporary that was not committed.
TPass5::~TPass5() {
  SourceFile.Close();
  ControlFile.Close();
  InstallFile.Close();
  StaticFile.Close();
  DynamicFile.Close();
}

// The transformed source, which includes the others, takes its name last.
std::vector<platform::TTextFile*> TPass5::OutputFiles() {
  if (!ready_) {
    return {};
  }
  return {&ControlFile, &InstallFile, &StaticFile, &DynamicFile, &SourceFile};
}

platform::TTextFile& TPass5::FileOf(const TTuneRegion& region) {
  if (region.TuneKind == TuneKind::Static) {
    return StaticFile;
  }
  if (region.TuneKind == TuneKind::Dynamic) {
    return DynamicFile;
  }
  return InstallFile;
}

void TPass5::Generate(int32_t& routineListLength) {
  // Nothing is written when the folder or one of the files is missing.
  if (!ready_) {
    return;
  }
  InstallFitting = false;
  for (const auto& region : RegionList) {
    if (region->TuneKind == TuneKind::Install && region->FitMethod != 0) {
      InstallFitting = true;
    }
  }
  CheckNameOverlaps();
  CheckGeneratedNames();
  size_t length = 0;
  for (const auto& region : RegionList) {
    length += region->Name.size() + 1;
  }
  // With no regions the name lists are declared with length 1.
  routineListLength = length > 1 ? static_cast<int32_t>(length - 1) : 1;
  context_.RoutineListLength = routineListLength;

  TStringSink control;
  TCodeWriter controlWriter(control);
  WriteControlRoutines(context_, InstallFitting, executableFolder_, controlWriter);
  ControlFile.Write(control.Text());
  for (size_t k = 0; k < RegionList.size(); ++k) {
    context_.Reporter.ShowLine(output_messages::RegionProgress(k + 1, RegionList.size()));
    TStringSink text;
    TCodeWriter writer(text);
    WriteCandidates(*RegionList[k], context_, writer);
    FileOf(*RegionList[k]).Write(text.Text());
    if (context_.Aborted()) {
      return;
    }
  }
  TStringSink source;
  TCodeWriter sourceWriter(source);
  WriteSource(TokenList, RegionList, context_, sourceWriter);
  SourceFile.Write(source.Text());
}

// The control routines find a region by its name inside the list of all
// names, so one name may not stand inside another.
void TPass5::CheckNameOverlaps() {
  for (size_t i = 0; i < RegionList.size(); ++i) {
    for (size_t j = 0; j < RegionList.size(); ++j) {
      if (i == j || RegionList[j]->Name.find(RegionList[i]->Name) == std::string::npos) {
        continue;
      }
      context_.Reporter.ReportError(
          output_messages::NamesOverlap(RegionList[i]->Name, RegionList[j]->Name));
      break;
    }
  }
}

void TPass5::CheckGeneratedNames() {
  std::unordered_set<std::string> driver;
  for (const char* name : kDriverNames) {
    driver.insert(UpperAscii(name));
  }
  std::unordered_set<std::string> fitting;
  for (const char* name : kFittingNames) {
    fitting.insert(UpperAscii(name));
  }
  for (const auto& region : RegionList) {
    for (const TRegionVar& entry : region->RegionVars) {
      std::string name = UpperAscii(entry.Var->Name);
      bool passed = entry.Passed;
      bool clash = name == "IUSW1" || (passed && driver.count(name) != 0) ||
                   (passed && region->FitMethod != 0 && fitting.count(name) != 0);
      if (clash) {
        context_.Reporter.ReportError(
            output_messages::NameTakenByGeneratedCode(entry.Var->Name, region->Name));
      }
    }
  }
}

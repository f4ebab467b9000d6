// The visualization pass driver, the log stubs and the asset copy.
#include "visual/visual_dm.h"

#include <utility>

#include "codegen/code_writer.h"
#include "output/pass5.h"
#include "platform/files.h"
#include "visual/result_page.h"
#include "visual/summary_page.h"
#include "visual/visual_messages.h"

TVisualDM::TVisualDM(const std::string& sourcePath, const TTokenList& tokenList,
                     const TRegionList& regionList, TReporter& reporter,
                     std::string programFolder)
    : Regions(regionList),
      sourcePath_(sourcePath),
      tokenList_(tokenList),
      reporter_(reporter),
      programFolder_(std::move(programFolder)) {}

void TVisualDM::Run() {
  OutDir = FolderOf(sourcePath_);
  WriteSummaryPage();
  WriteOverallStub();
  for (const auto& region : Regions) {
    WriteRegionStub(*region);
    WriteResultPage(*region);
  }
  CopyAssets();
}

// Each file is closed at once (a run may write thousands) and kept under
// its temporary name until the commit.
bool TVisualDM::WriteFile(const std::string& path, const std::string& text,
                          const std::string& message) {
  auto file = std::make_unique<platform::TTextFile>();
  if (!file->OpenTemporary(path)) {
    reporter_.ReportError(message);
    return false;
  }
  file->Write(text);
  if (!file->Finish()) {
    reporter_.ReportError(message + " (" + file->Error() + ")");
    return false;
  }
  files_.push_back(std::move(file));
  return true;
}

std::vector<platform::TTextFile*> TVisualDM::OutputFiles() const {
  std::vector<platform::TTextFile*> files;
  for (const auto& file : files_) {
    files.push_back(file.get());
  }
  return files;
}

void TVisualDM::WriteSummaryPage() {
  std::string path = OutDir + "\\Vexnor/VexnorATLog.html";
  WriteFile(path, SummaryPage(OutDir, sourcePath_, tokenList_, Regions),
            visual_messages::CannotOpen(path));
}

// Every region starts at 0 percent; the generated drivers rewrite the file.
void TVisualDM::WriteOverallStub() {
  std::string path = OutDir + "\\Vexnor\\VexnorATLog.dat";
  TStringSink stub;
  TCodeWriter w(stub);
  for (size_t k = 0; k < Regions.size(); ++k) {
    w.Line("0");
  }
  WriteFile(path, stub.Text(), visual_messages::CannotCreate(path));
}

// A header without measurements, in the layout of the region log that the
// generated driver writes, so that the result page has valid data at once.
void TVisualDM::WriteRegionStub(const TTuneRegion& region) {
  std::string path = OutDir + "\\Vexnor\\VexnorATLog_" + region.Name + ".dat";
  TStringSink stub;
  TCodeWriter w(stub);
  w.Line("1,NumProces (DummyData)");
  w.Line("100,StartTuneSize (DummyData)");
  w.Line("100,EndTuneSize (DummyData)");
  w.Line("100,SampDist (DummyData)");
  w.Line("-1,EndOfHeader");
  WriteFile(path, stub.Text(), visual_messages::CannotCreate(path));
}

void TVisualDM::WriteResultPage(const TTuneRegion& region) {
  std::string path = OutDir + "\\Vexnor/VexnorATLog_" + region.Name + ".html";
  WriteFile(path, ResultPage(region), visual_messages::CannotOpen(path));
}

// The chart archive and its two data folders that the pages name, then
// what draws the charts in today's browsers: the pages' chart script and
// the charting library it loads. The first failure ends the copy.
bool TVisualDM::CopyAssets() {
  return CopyAsset("grafview.jar") && CreateAssetFolder("bar0-") &&
         CopyAsset("bar0-\\00.bin") && CreateAssetFolder("gtable-") &&
         CopyAsset("gtable-\\00.bin") && CopyAsset("grafview.js") &&
         CopyAsset("uPlot.iife.min.js") && CopyAsset("uPlot.min.css") &&
         CopyAsset("uPlot.LICENSE");
}

bool TVisualDM::CopyAsset(const std::string& name) {
  std::string to = OutDir + "\\Vexnor\\" + name;
  std::string from = programFolder_ + "vex_data\\" + name;
  std::string bytes;
  std::string error;
  if (!platform::FileExists(from) || !platform::ReadWholeFile(from, bytes, error)) {
    reporter_.ReportError(visual_messages::CannotCopy(to));
    return false;
  }
  return WriteFile(to, bytes, visual_messages::CannotCopy(to));
}

bool TVisualDM::CreateAssetFolder(const std::string& name) {
  std::string folder = OutDir + "\\Vexnor\\" + name;
  if (!platform::CreateFolders(folder)) {
    reporter_.ReportError(visual_messages::CannotCreate(folder));
    return false;
  }
  return true;
}

// The region result page writer.
#include "visual/result_page.h"

#include <cstdint>

#include "codegen/code_writer.h"
#include "platform/encoding.h"
#include "visual/summary_page.h"

using platform::Sjis;

namespace {

class TResultPage {
 public:
  explicit TResultPage(const TTuneRegion& region) : region_(region) {}

  std::string Write() {
    WriteHead();
    WriteChart();
    WriteDataListScript();
    w_.Line("</body>");
    return page_.Text();
  }

 private:
  void WriteHead() {
    const char* name = region_.Name.c_str();
    w_.Line("<html>");
    w_.Line("<head>");
    w_.Line(R"(<meta http-equiv="Content-Type" content="text/html; charset=shift_jis">)");
    w_.Line(R"(<meta name="GENERATOR" content="VexnorScript 1.0">)");
    w_.LineF("<title>Vexnor_%s Result</title>", name);
    w_.Line(kChartScriptLine);
    w_.Line("</head>");
    w_.Line("<body>");
    w_.LineF(R"(<h1 align = "center"><b>Vexnor_%s&nbsp;Result</b>)", name);
    w_.Line("</h1>");
  }

  void WriteChart() {
    const char* name = region_.Name.c_str();
    char kindLetter = region_.KindName.empty() ? '?' : region_.KindName[0];
    w_.Line(R"(<p align = "center">)");
    w_.Line("<applet");
    w_.Line(R"(codebase = "./")");
    w_.Line(R"(code = "grafview.Applet1.class")");
    w_.Line(R"(archive = "grafview.jar")");
    w_.Line(R"(name = "gtable")");
    w_.Line(R"(width = "640")");
    w_.Line(R"(height = "510")");
    w_.Line(Sjis(R"(alt = "Javaｱﾌﾟﾚｯﾄです。">)"));
    w_.Line(R"(<param name="FolderName" value="gtable-">)");
    w_.LineF(R"(<param name="FILENAME" value="VEXNORATLog_%s.dat">)", name);
    w_.LineF(R"(<param name="LSMFILENAME" value="%s_%c_LSM.dat">)", name, kindLetter);
    w_.LineF(R"(<param name="CaseCount" value="%d">)", region_.CaseCount);
    w_.LineF(R"(<param name="SubCount" value="%zu">)", region_.SubRegions.size());
    w_.LineF(R"(<param name="SubCaseIdx" value="%s">)", SubCaseIndex().c_str());
    w_.Line("</applet>");
    w_.Line("</p>");
    w_.Line("<form>");
    w_.Line(R"(<p align="center">)");
    w_.Line(R"(<INPUT TYPE="button" VALUE=" Result data list   ")");
    w_.Line(R"-(  onClick="makeNewWindow()">)-");
    w_.Line("</p>");
    w_.Line("</form>");
  }

  // The running totals of the sub regions' case counts: "6,14" for sub
  // regions of 6 and 8 cases.
  std::string SubCaseIndex() const {
    std::string text;
    int64_t total = 0;
    for (const auto& sub : region_.SubRegions) {
      total += sub->CaseCount;
      if (!text.empty()) {
        text += ",";
      }
      text += std::to_string(total);
    }
    return text;
  }

  void WriteDataListScript() {
    const int32_t cases = region_.CaseCount;
    w_.Line(R"(<script type="text/javascript">)");
    w_.Line("<!--");
    w_.Line("var nw = null;");
    w_.Line("function makeNewWindow() {");
    w_.Line("  if(typeof(document.applets[0]) == typeof(undefined)){");
    w_.Line(Sjis(R"(    alert("JavaAppletが起動していません。");)"));
    w_.Line("    return;");
    w_.Line("  }");
    w_.Line("  if(!nw || nw.closed) {");
    w_.Line(R"(    nw = window.open("","","WIDTH=500,HEIGHT=400,resizable,scrollbars");)");
    w_.Line(R"(    nw.document.writeln("<html>");)");
    w_.Line(R"(    nw.document.writeln("<head>");)");
    WriteLnCall(R"(<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">)");
    WriteLnCall(R"(<meta name=\"GENERATOR\" content=\"VexnorScript 1.0\">)");
    WriteLnCall("<title>Vexnor_" + region_.Name + " Result</title>");
    w_.Line(R"(    nw.document.writeln("</head>");)");
    w_.Line(R"(    nw.document.writeln("<body>");)");
    WriteLnCall(R"(<h1 align = \"center\"><b>Vexnor_)" + region_.Name + "&nbsp;Result</b>");
    w_.Line(R"(    nw.document.writeln("</h1>");)");
    w_.Line(R"(    var ValId = document.gtable.getId("d");)");
    w_.Line(R"(    var DataCount = parseInt(document.gtable.getCount(ValId));)");
    w_.Line("    var RowCount = (DataCount/2)-5;");
    w_.Line("    var NumProcs = parseInt(document.gtable.get(ValId,0));");
    w_.Line("    var StartTuneSize = parseInt(document.gtable.get(ValId,1));");
    w_.Line("    var EndTuneSize = parseInt(document.gtable.get(ValId,2));");
    w_.Line("    var SampDist = parseInt(document.gtable.get(ValId,3));");
    w_.Line(R"(    nw.document.writeln("<table border=\"2\" width=\"100%\">");)");
    w_.Line(R"(    nw.document.writeln("<tr>");)");
    w_.Line(R"(    nw.document.writeln("<td width=\"10%\">DataNo</td>");)");
    w_.Line(R"(    nw.document.writeln("<td width=\"10%\">N</td>");)");
    w_.Line(R"(    nw.document.writeln("<td width=\"10%\">CaseNo</td>");)");
    w_.Line(R"(    nw.document.writeln("<td width=\"25%\">CaseInfo</td>");)");
    w_.Line(R"(    nw.document.writeln("<td width=\"45%\">Result</td>");)");
    w_.Line(R"(    nw.document.writeln("</tr>");)");
    w_.Line("    for(i = 0 ; i < RowCount ; i++){");
    w_.Line(R"(      nw.document.writeln("");)");
    w_.Line("      i0 = i+1;");
    w_.LineF("      n = Math.floor(i / %d)*SampDist+StartTuneSize;", cases);
    w_.LineF("      i1 = (i %% %d)+1;", cases);
    w_.Line("      d = document.gtable.get(ValId,i+5);");
    w_.Line(R"(      CaseInfo = "";)");
    WriteCaseInfo();
    w_.Line(R"(      nw.document.writeln("<tr><td width=\"10%\">"+i0+"</td><td width=\"10%\">"+n+"</td><td width=\"10%\">"+i1+"</td><td width=\"25%\">"+CaseInfo+"</td><td width=\"45%\">"+d+"</td></tr>");)");
    w_.Line("    }");
    w_.Line(R"(    nw.document.writeln("</table>");)");
    w_.Line(R"(    nw.document.writeln("</body>");)");
    w_.Line(R"(    nw.document.writeln("</html>");)");
    w_.Line("    nw.document.close();");
    w_.Line("  }else if(nw){");
    w_.Line("    nw.focus();");
    w_.Line("  }");
    w_.Line("}");
    w_.Line("// -->");
    w_.Line("</script>");
    w_.Line("<noscript>");
    w_.Line(Sjis("JavaScript対応ブラウザで表示してください。"));
    w_.Line("</noscript>");
    w_.Line("<br>");
  }

  // A writeln of the data-list window with a text already in script form.
  void WriteLnCall(const std::string& text) { w_.Line("    nw.document.writeln(\"" + text + "\");"); }

  // Turns the case number i1 into the values of the varied parameters, the
  // first parameter being the most significant digit; with sub regions it
  // first finds the sub region i2 of the case and the position i3 in it.
  void WriteCaseInfo() {
    if (region_.SubRegions.empty()) {
      w_.Line("      i3 = i1-1");
      WriteDigits(region_, region_.CaseCount, "      ", true);
      return;
    }
    w_.Line("i2 = 1; i3 = i1-1");
    const size_t subs = region_.SubRegions.size();
    for (size_t j = 0; j + 1 < subs; ++j) {
      int32_t n = region_.SubRegions[j]->CaseCount;
      w_.LineF("      if(i3 >= %d){ i2++; i3 -= %d}", n, n);
    }
    w_.Line(R"(      CaseInfo += "SubRegion="+i2;)");
    for (size_t c = 0; c < subs; ++c) {
      const TSubRegion& sub = *region_.SubRegions[c];
      if (sub.VariedCount == 0) {
        continue;
      }
      w_.LineF("      if(i2 == %zu){", c + 1);
      WriteDigits(sub, sub.CaseCount, "        ", false);
      w_.Line("    }");
    }
  }

  // One digit per varied entry: divisor D (the count left after the more
  // significant digits, in truncating division), range R and first value.
  void WriteDigits(const TVariedList& list, int32_t caseCount, const char* indent,
                   bool firstWithoutComma) {
    int64_t d = caseCount;
    for (int32_t u = 0; u < list.VariedCount && u < kMaxVaried; ++u) {
      size_t k = static_cast<size_t>(u);
      int64_t r = static_cast<int64_t>(list.VariedTo[k]) - list.VariedFrom[k] + 1;
      d = r != 0 ? d / r : 0;
      w_.LineF("%si4 = Math.floor(i3 / %lld ) %% %lld + %d;", indent, static_cast<long long>(d),
               static_cast<long long>(r), list.VariedFrom[k]);
      const char* comma = firstWithoutComma && u == 0 ? "" : ",";
      w_.LineF(R"(%sCaseInfo += "%s%s="+i4;)", indent, comma, list.VariedName[k].c_str());
    }
  }

  const TTuneRegion& region_;
  TStringSink page_;
  TCodeWriter w_{page_};
};

}  // namespace

std::string ResultPage(const TTuneRegion& region) { return TResultPage(region).Write(); }

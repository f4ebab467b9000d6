// The summary page and the region result pages, line by line.
#include <gtest/gtest.h>

#include "platform/encoding.h"
#include "test_support.h"
#include "visual/result_page.h"
#include "visual/summary_page.h"

namespace {

using platform::Sjis;

std::string Summary(const TPipeline& p) { return SummaryPage("/work", "/work/prog.f", p.List, p.Regions); }

// The listing: the lines after the page's "<br>" line, without the two
// closing lines.
std::vector<std::string> Listing(const std::string& page) {
  std::vector<std::string> lines = Lines(page);
  size_t start = 0;
  while (start < lines.size() && lines[start] != "<br>") {
    ++start;
  }
  return {lines.begin() + static_cast<std::ptrdiff_t>(start + 1), lines.end() - 2};
}

// Six blanks, as HTML entities.
const std::string kIndent = "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";

TEST(SummaryPage, WithoutRegionsHasOnlyTheHeadingRowAndAScriptThatStillAsksBar0) {
  TPipeline p("      program p\n      end\n");
  EXPECT_EQ(Summary(p),
            "<html>\n"
            "<head>\n"
            "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">\n"
            "<meta name=\"GENERATOR\" content=\"VexnorScript 1.0\">\n"
            "<title>VexnorScript</title>\n"
            "<script type=\"text/javascript\" src=\"grafview.js\"></script>\n"
            "</head>\n"
            "<body onLoad = \"JSStart()\" >\n"
            "<h1 align = \"center\"><b>VexnorScript</b>\n"
            "</h1>\n"
            "<h3 align = \"center\"><b>SrcFile&nbsp;=&nbsp;/work\\prog.f</b>\n"
            "</h3>\n"
            "<table border=\"1\" width=\"100%\" height=\"16\">\n"
            "<tr>\n"
            "<td width=\"35%\" height=\"14\">Auto tuning region name</td>\n"
            "<td width=\"30%\" height=\"14\">Execute status</td>\n"
            "<td width=\"25%\" height=\"14\">Link to result page</td>\n"
            "</tr>\n"
            "</table>\n"
            "\n"
            "<script type=\"text/javascript\">\n"
            "<!--\n"
            "var id = -1;\n"
            "function JSStart() {\n"
            "if(id == -1){\n"
            "id = document.bar0.getId(\"Table@d\");\n"
            "}\n"
            "window.setTimeout(\"JSStart()\", 1000);\n"
            "}\n"
            "// -->\n"
            "</script>\n"
            "<noscript>\n" +
                Sjis("JavaScript対応ブラウザで表示してください。</p>\n") +
                "<p></noscript>\n"
                "<br>\n" +
                kIndent + "program&nbsp;p<br>\n" +
                kIndent + "end<br><br>\n"
                "</body>\n"
                "</html>\n");
}

TEST(SummaryPage, EveryRegionHasARowABarAndItsScriptLines) {
  TPipeline p("      program p\n"
              "!Vexnor$ install select region start\n!Vexnor$ name mat\n      x = 1\n"
              "!Vexnor$ install select region end\n"
              "!Vexnor$ static select region start\n!Vexnor$ name FFT\n      y = 2\n"
              "!Vexnor$ static select region end\n      end\n");
  ASSERT_EQ(p.Regions.size(), 2u);
  std::vector<std::string> lines = Lines(Summary(p));
  const std::string alt = Sjis("alt = \"Javaｱﾌﾟﾚｯﾄです。\">");
  auto row = [&](const std::string& k, const std::string& name, bool first) {
    std::vector<std::string> r = {
        "<tr>",
        "<td width=\"35%\" height=\"16\"><a href=\"#" + k + "\">" + name + "</td>",
        "<td width=\"30%\" height=\"16\">",
        "<applet",
        "codebase = \"./\"",
        "code = \"grafview.Applet1.class\"",
        "archive = \"grafview.jar\"",
        "name = \"bar" + k + "\"",
        "width = \"100%\"",
        "height = \"100%\"",
        alt,
        "<param name=\"FolderName\" value=\"bar0-\">"};
    if (first) {
      r.push_back("<param name=\"FILENAME\" value=\"VexnorATLog.dat\">");
    }
    for (const char* l : {"</applet></td>", "<td width=\"25%\" height=\"16\" align=\"center\">"}) {
      r.push_back(l);
    }
    r.push_back("<p align=\"center\"><a href=\"./VexnorATLog_" + name +
                ".html\" target=\"_blank\">Result</a></td>");
    r.push_back("</tr>");
    return r;
  };
  std::vector<std::string> expected = {"<table border=\"1\" width=\"100%\" height=\"48\">",
                                       "<tr>",
                                       "<td width=\"35%\" height=\"14\">Auto tuning region name</td>",
                                       "<td width=\"30%\" height=\"14\">Execute status</td>",
                                       "<td width=\"25%\" height=\"14\">Link to result page</td>",
                                       "</tr>"};
  for (const auto& r : {row("0", "mat", true), row("1", "FFT", false)}) {
    expected.insert(expected.end(), r.begin(), r.end());
  }
  for (const char* l : {"</table>", "", "<script type=\"text/javascript\">", "<!--", "var id = -1;",
                        "var id0 = -1;", "var id1 = -1;", "function JSStart() {", "if(id == -1){",
                        "id = document.bar0.getId(\"Table@d\");",
                        "id0 = document.bar0.getId(\"@p\");", "id1 = document.bar1.getId(\"@p\");",
                        "}", "bar0.put(id0,document.bar0.get(id,0)/100.0);",
                        "bar1.put(id1,document.bar0.get(id,1)/100.0);",
                        "window.setTimeout(\"JSStart()\", 1000);", "}", "// -->", "</script>"}) {
    expected.push_back(l);
  }
  ASSERT_GE(lines.size(), 12 + expected.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 12, lines.begin() + 12 + expected.size()),
            expected);
}

TEST(SummaryPage, EscapesBlanksQuotesAndAnglesButNotAmpersands) {
  EXPECT_EQ(EscapeHtml("   c = '<' // \"&\" > d\r\n"),
            "&nbsp;&nbsp;&nbsp;c&nbsp;=&nbsp;'&lt;'&nbsp;//&nbsp;&quot;&&quot;&nbsp;&gt;&nbsp;d");
  // Shift-JIS text passes as it is.
  EXPECT_EQ(EscapeHtml(Sjis("ａ表")), Sjis("ａ表"));
  // In the listing, a line's leading blanks become entities.
  TPipeline p("      program p\n      c = '<&'\n      end\n");
  EXPECT_EQ(Listing(Summary(p))[1], kIndent + "c&nbsp;=&nbsp;'&lt;&'<br>");
}

TEST(SummaryPage, ListingIndentsRegionsAndSubRegionsAndLinksTheirDirectives) {
  TPipeline p("      program p\n"
              "!Vexnor$ install select region start\n!Vexnor$ name outer\n"
              "!Vexnor$ select sub region start\n      x = 1\n"
              "!Vexnor$ static select region start\n!Vexnor$ name inner\n      y = 2\n"
              "!Vexnor$ static select region end\n"
              "!Vexnor$ select sub region end\n"
              "!Vexnor$ install select region end\n      end\n");
  ASSERT_EQ(p.Regions.size(), 2u);
  auto link = [](const std::string& k, const std::string& name, const std::string& text) {
    return "<i><a name=\"" + k + "\"><a href=\"./VexnorATLog_" + name +
           ".html\"  target=\"_blank\"><font color=\"#0000FF\">" + text + "</font></i></a><br>";
  };
  const std::string nb = "&nbsp&nbsp";
  EXPECT_EQ(Listing(Summary(p)),
            (std::vector<std::string>{
                kIndent + "program&nbsp;p<br>",
                link("0", "outer", "!Vexnor$&nbsp;install&nbsp;select&nbsp;region&nbsp;start"),
                nb + "<i><font color=\"#000080\">!Vexnor$&nbsp;name&nbsp;outer</font></i><br>",
                nb + "<i><font color=\"#008000\">!Vexnor$&nbsp;select&nbsp;sub&nbsp;region&nbsp;"
                     "start</font></i><br>",
                nb + nb + kIndent + "x&nbsp;=&nbsp;1<br>",
                nb + nb + link("1", "inner", "!Vexnor$&nbsp;static&nbsp;select&nbsp;region&nbsp;start"),
                nb + nb + nb + "<i><font color=\"#000080\">!Vexnor$&nbsp;name&nbsp;inner</font></i><br>",
                nb + nb + nb + kIndent + "y&nbsp;=&nbsp;2<br>",
                nb + nb + link("1", "inner", "!Vexnor$&nbsp;static&nbsp;select&nbsp;region&nbsp;end"),
                nb + "<i><font color=\"#008000\">!Vexnor$&nbsp;select&nbsp;sub&nbsp;region&nbsp;"
                     "end</font></i><br>",
                link("0", "outer", "!Vexnor$&nbsp;install&nbsp;select&nbsp;region&nbsp;end"),
                kIndent + "end<br><br>"}));
}

// The table's link "#k" names region k of the list, which Pass 4 orders by
// the regions' numbers: the anchors follow the list, not the source order.
TEST(SummaryPage, AnchorsNameTheRegionsPositionInTheList) {
  TPipeline p("      program p\n"
              "!Vexnor$ install select region start\n!Vexnor$ name late\n!Vexnor$ Number 2\n"
              "      x = 1\n!Vexnor$ install select region end\n"
              "!Vexnor$ install select region start\n!Vexnor$ name early\n!Vexnor$ Number 1\n"
              "      y = 1\n!Vexnor$ install select region end\n      end\n");
  ASSERT_EQ(p.Regions.size(), 2u);
  ASSERT_EQ(p.Region(0).Name, "early");
  std::vector<std::string> listing = Listing(Summary(p));
  std::vector<std::string> anchors;
  for (const std::string& line : listing) {
    size_t at = line.find("<a name=\"");
    if (at != std::string::npos) {
      anchors.push_back(line.substr(at, line.find(".html") - at));
    }
  }
  EXPECT_EQ(anchors, (std::vector<std::string>{
                         "<a name=\"1\"><a href=\"./VexnorATLog_late",
                         "<a name=\"1\"><a href=\"./VexnorATLog_late",
                         "<a name=\"0\"><a href=\"./VexnorATLog_early",
                         "<a name=\"0\"><a href=\"./VexnorATLog_early"}));
  std::string page = Summary(p);
  EXPECT_NE(page.find("<a href=\"#0\">early</td>"), std::string::npos);
}

const char kTwoVaried[] =
    "      subroutine s(a)\n"
    "!Vexnor$ static select region start\n!Vexnor$ name mat\n"
    "!Vexnor$ varied (i) from 1 to 4\n!Vexnor$ varied (j) from 2 to 3\n      a = i + j\n"
    "!Vexnor$ static select region end\n      end\n";

TEST(ResultPage, WholePageOfARegionWithTwoVariedParameters) {
  TPipeline p(kTwoVaried);
  ASSERT_EQ(p.Region().CaseCount, 8);
  EXPECT_EQ(ResultPage(p.Region()),
            "<html>\n"
            "<head>\n"
            "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">\n"
            "<meta name=\"GENERATOR\" content=\"VexnorScript 1.0\">\n"
            "<title>Vexnor_mat Result</title>\n"
            "<script type=\"text/javascript\" src=\"grafview.js\"></script>\n"
            "</head>\n"
            "<body>\n"
            "<h1 align = \"center\"><b>Vexnor_mat&nbsp;Result</b>\n"
            "</h1>\n"
            "<p align = \"center\">\n"
            "<applet\n"
            "codebase = \"./\"\n"
            "code = \"grafview.Applet1.class\"\n"
            "archive = \"grafview.jar\"\n"
            "name = \"gtable\"\n"
            "width = \"640\"\n"
            "height = \"510\"\n" +
                Sjis("alt = \"Javaｱﾌﾟﾚｯﾄです。\">\n") +
                "<param name=\"FolderName\" value=\"gtable-\">\n"
                "<param name=\"FILENAME\" value=\"VEXNORATLog_mat.dat\">\n"
                "<param name=\"LSMFILENAME\" value=\"mat_S_LSM.dat\">\n"
                "<param name=\"CaseCount\" value=\"8\">\n"
                "<param name=\"SubCount\" value=\"0\">\n"
                "<param name=\"SubCaseIdx\" value=\"\">\n"
                "</applet>\n"
                "</p>\n"
                "<form>\n"
                "<p align=\"center\">\n"
                "<INPUT TYPE=\"button\" VALUE=\" Result data list   \"\n"
                "  onClick=\"makeNewWindow()\">\n"
                "</p>\n"
                "</form>\n"
                "<script type=\"text/javascript\">\n"
                "<!--\n"
                "var nw = null;\n"
                "function makeNewWindow() {\n"
                "  if(typeof(document.applets[0]) == typeof(undefined)){\n" +
                Sjis("    alert(\"JavaAppletが起動していません。\");\n") +
                "    return;\n"
                "  }\n"
                "  if(!nw || nw.closed) {\n"
                "    nw = window.open(\"\",\"\",\"WIDTH=500,HEIGHT=400,resizable,scrollbars\");\n"
                "    nw.document.writeln(\"<html>\");\n"
                "    nw.document.writeln(\"<head>\");\n"
                "    nw.document.writeln(\"<meta http-equiv=\\\"Content-Type\\\" "
                "content=\\\"text/html; charset=shift_jis\\\">\");\n"
                "    nw.document.writeln(\"<meta name=\\\"GENERATOR\\\" "
                "content=\\\"VexnorScript 1.0\\\">\");\n"
                "    nw.document.writeln(\"<title>Vexnor_mat Result</title>\");\n"
                "    nw.document.writeln(\"</head>\");\n"
                "    nw.document.writeln(\"<body>\");\n"
                "    nw.document.writeln(\"<h1 align = \\\"center\\\"><b>Vexnor_mat&nbsp;Result</b>\");\n"
                "    nw.document.writeln(\"</h1>\");\n"
                "    var ValId = document.gtable.getId(\"d\");\n"
                "    var DataCount = parseInt(document.gtable.getCount(ValId));\n"
                "    var RowCount = (DataCount/2)-5;\n"
                "    var NumProcs = parseInt(document.gtable.get(ValId,0));\n"
                "    var StartTuneSize = parseInt(document.gtable.get(ValId,1));\n"
                "    var EndTuneSize = parseInt(document.gtable.get(ValId,2));\n"
                "    var SampDist = parseInt(document.gtable.get(ValId,3));\n"
                "    nw.document.writeln(\"<table border=\\\"2\\\" width=\\\"100%\\\">\");\n"
                "    nw.document.writeln(\"<tr>\");\n"
                "    nw.document.writeln(\"<td width=\\\"10%\\\">DataNo</td>\");\n"
                "    nw.document.writeln(\"<td width=\\\"10%\\\">N</td>\");\n"
                "    nw.document.writeln(\"<td width=\\\"10%\\\">CaseNo</td>\");\n"
                "    nw.document.writeln(\"<td width=\\\"25%\\\">CaseInfo</td>\");\n"
                "    nw.document.writeln(\"<td width=\\\"45%\\\">Result</td>\");\n"
                "    nw.document.writeln(\"</tr>\");\n"
                "    for(i = 0 ; i < RowCount ; i++){\n"
                "      nw.document.writeln(\"\");\n"
                "      i0 = i+1;\n"
                "      n = Math.floor(i / 8)*SampDist+StartTuneSize;\n"
                "      i1 = (i % 8)+1;\n"
                "      d = document.gtable.get(ValId,i+5);\n"
                "      CaseInfo = \"\";\n"
                "      i3 = i1-1\n"
                "      i4 = Math.floor(i3 / 2 ) % 4 + 1;\n"
                "      CaseInfo += \"i=\"+i4;\n"
                "      i4 = Math.floor(i3 / 1 ) % 2 + 2;\n"
                "      CaseInfo += \",j=\"+i4;\n"
                "      nw.document.writeln(\"<tr><td width=\\\"10%\\\">\"+i0+\"</td><td "
                "width=\\\"10%\\\">\"+n+\"</td><td width=\\\"10%\\\">\"+i1+\"</td><td "
                "width=\\\"25%\\\">\"+CaseInfo+\"</td><td width=\\\"45%\\\">\"+d+\"</td></tr>\");\n"
                "    }\n"
                "    nw.document.writeln(\"</table>\");\n"
                "    nw.document.writeln(\"</body>\");\n"
                "    nw.document.writeln(\"</html>\");\n"
                "    nw.document.close();\n"
                "  }else if(nw){\n"
                "    nw.focus();\n"
                "  }\n"
                "}\n"
                "// -->\n"
                "</script>\n"
                "<noscript>\n" +
                Sjis("JavaScript対応ブラウザで表示してください。\n") +
                "</noscript>\n"
                "<br>\n"
                "</body>\n");
}

// The lines between CaseInfo = ""; and the row's writeln.
std::vector<std::string> CaseInfoLines(const std::string& page) {
  std::vector<std::string> lines = Lines(page);
  std::vector<std::string> out;
  bool in = false;
  for (const std::string& line : lines) {
    if (line.find("nw.document.writeln(\"<tr><td") != std::string::npos) {
      break;
    }
    if (in) {
      out.push_back(line);
    }
    if (line == "      CaseInfo = \"\";") {
      in = true;
    }
  }
  return out;
}

std::string ParamLine(const std::string& page, const std::string& name) {
  for (const std::string& line : Lines(page)) {
    if (line.find("<param name=\"" + name + "\"") == 0) {
      return line;
    }
  }
  return "";
}

TEST(ResultPage, SubRegionsFindTheirCaseBeforeTheirParameters) {
  TPipeline p("      subroutine s(a)\n!Vexnor$ install select region start\n!Vexnor$ name two\n"
              "!Vexnor$ varied (p) from 1 to 2\n"
              "!Vexnor$ select sub region start\n!Vexnor$ varied (q) from 1 to 3\n      a = q\n"
              "!Vexnor$ select sub region end\n"
              "!Vexnor$ select sub region start\n!Vexnor$ varied (r) from 5 to 8\n      a = r\n"
              "!Vexnor$ select sub region end\n!Vexnor$ install select region end\n      end\n");
  ASSERT_EQ(p.Reporter.Errors, 0);
  std::string page = ResultPage(p.Region());
  EXPECT_EQ(ParamLine(page, "LSMFILENAME"), "<param name=\"LSMFILENAME\" value=\"two_I_LSM.dat\">");
  EXPECT_EQ(ParamLine(page, "CaseCount"), "<param name=\"CaseCount\" value=\"14\">");
  EXPECT_EQ(ParamLine(page, "SubCount"), "<param name=\"SubCount\" value=\"2\">");
  EXPECT_EQ(ParamLine(page, "SubCaseIdx"), "<param name=\"SubCaseIdx\" value=\"6,14\">");
  EXPECT_EQ(CaseInfoLines(page), (std::vector<std::string>{
                                     "i2 = 1; i3 = i1-1",
                                     "      if(i3 >= 6){ i2++; i3 -= 6}",
                                     "      CaseInfo += \"SubRegion=\"+i2;",
                                     "      if(i2 == 1){",
                                     "        i4 = Math.floor(i3 / 3 ) % 2 + 1;",
                                     "        CaseInfo += \",p=\"+i4;",
                                     "        i4 = Math.floor(i3 / 1 ) % 3 + 1;",
                                     "        CaseInfo += \",q=\"+i4;",
                                     "    }",
                                     "      if(i2 == 2){",
                                     "        i4 = Math.floor(i3 / 4 ) % 2 + 1;",
                                     "        CaseInfo += \",p=\"+i4;",
                                     "        i4 = Math.floor(i3 / 1 ) % 4 + 5;",
                                     "        CaseInfo += \",r=\"+i4;",
                                     "    }"}));
}

TEST(ResultPage, WithoutVariedParametersTheCaseInformationStaysEmpty) {
  TPipeline none("      subroutine s(a)\n!Vexnor$ dynamic select region start\n"
                 "!Vexnor$ name one\n      a = 1\n!Vexnor$ dynamic select region end\n      end\n");
  std::string page = ResultPage(none.Region());
  EXPECT_EQ(CaseInfoLines(page), (std::vector<std::string>{"      i3 = i1-1"}));
  EXPECT_EQ(ParamLine(page, "LSMFILENAME"), "<param name=\"LSMFILENAME\" value=\"one_D_LSM.dat\">");
  // Three sub regions, the second without varied entries: it gets no block.
  TPipeline subs("      subroutine s(a)\n!Vexnor$ static select region start\n!Vexnor$ name three\n"
                 "!Vexnor$ select sub region start\n!Vexnor$ varied (q) from 1 to 2\n      a = q\n"
                 "!Vexnor$ select sub region end\n"
                 "!Vexnor$ select sub region start\n      a = 0\n!Vexnor$ select sub region end\n"
                 "!Vexnor$ select sub region start\n!Vexnor$ varied (r) from 3 to 5\n      a = r\n"
                 "!Vexnor$ select sub region end\n!Vexnor$ static select region end\n      end\n");
  ASSERT_EQ(subs.Reporter.Errors, 0);
  page = ResultPage(subs.Region());
  EXPECT_EQ(ParamLine(page, "SubCaseIdx"), "<param name=\"SubCaseIdx\" value=\"2,3,6\">");
  EXPECT_EQ(CaseInfoLines(page), (std::vector<std::string>{
                                     "i2 = 1; i3 = i1-1",
                                     "      if(i3 >= 2){ i2++; i3 -= 2}",
                                     "      if(i3 >= 1){ i2++; i3 -= 1}",
                                     "      CaseInfo += \"SubRegion=\"+i2;",
                                     "      if(i2 == 1){",
                                     "        i4 = Math.floor(i3 / 1 ) % 2 + 1;",
                                     "        CaseInfo += \",q=\"+i4;",
                                     "    }",
                                     "      if(i2 == 3){",
                                     "        i4 = Math.floor(i3 / 1 ) % 3 + 3;",
                                     "        CaseInfo += \",r=\"+i4;",
                                     "    }"}));
}

}  // namespace

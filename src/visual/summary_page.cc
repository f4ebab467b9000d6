// The summary page writer.
#include "visual/summary_page.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "codegen/code_writer.h"
#include "directives/script.h"
#include "output/pass5.h"
#include "platform/encoding.h"

using platform::Sjis;

const char kChartScriptLine[] = R"(<script type="text/javascript" src="grafview.js"></script>)";

std::string EscapeHtml(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\r':
      case '\n':
        break;
      case ' ':
        out += "&nbsp;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

namespace {

class TSummaryPage {
 public:
  TSummaryPage(const std::string& outDir, const std::string& sourcePath,
               const TTokenList& tokenList, const TRegionList& regions)
      : outDir_(outDir), sourcePath_(sourcePath), tokenList_(tokenList), regions_(regions) {
    for (size_t k = 0; k < regions.size(); ++k) {
      position_[regions[k].get()] = static_cast<int32_t>(k);
    }
  }

  std::string Write() {
    WriteHead();
    WriteTable();
    WriteScript();
    WriteListing();
    w_.Line("</body>");
    w_.Line("</html>");
    return page_.Text();
  }

 private:
  void WriteHead() {
    w_.Line("<html>");
    w_.Line("<head>");
    w_.Line(R"(<meta http-equiv="Content-Type" content="text/html; charset=shift_jis">)");
    w_.Line(R"(<meta name="GENERATOR" content="VexnorScript 1.0">)");
    w_.Line("<title>VexnorScript</title>");
    w_.Line(kChartScriptLine);
    w_.Line("</head>");
    w_.Line(R"-(<body onLoad = "JSStart()" >)-");
    w_.Line(R"(<h1 align = "center"><b>VexnorScript</b>)");
    w_.Line("</h1>");
    std::string source = "SrcFile = " + outDir_ + "\\" + FileNameOf(sourcePath_);
    w_.LineF(R"(<h3 align = "center"><b>%s</b>)", EscapeHtml(source).c_str());
    w_.Line("</h3>");
  }

  void WriteTable() {
    long long height = 16 * static_cast<long long>(regions_.size()) + 16;
    w_.LineF(R"(<table border="1" width="100%%" height="%lld">)", height);
    w_.Line("<tr>");
    w_.Line(R"(<td width="35%" height="14">Auto tuning region name</td>)");
    w_.Line(R"(<td width="30%" height="14">Execute status</td>)");
    w_.Line(R"(<td width="25%" height="14">Link to result page</td>)");
    w_.Line("</tr>");
    const std::string alt = Sjis(R"(alt = "Javaｱﾌﾟﾚｯﾄです。">)");
    for (size_t k = 0; k < regions_.size(); ++k) {
      const char* name = regions_[k]->Name.c_str();
      w_.Line("<tr>");
      w_.LineF(R"(<td width="35%%" height="16"><a href="#%zu">%s</td>)", k, name);
      w_.Line(R"(<td width="30%" height="16">)");
      w_.Line("<applet");
      w_.Line(R"(codebase = "./")");
      w_.Line(R"(code = "grafview.Applet1.class")");
      w_.Line(R"(archive = "grafview.jar")");
      w_.LineF(R"(name = "bar%zu")", k);
      w_.Line(R"(width = "100%")");
      w_.Line(R"(height = "100%")");
      w_.Line(alt);
      w_.Line(R"(<param name="FolderName" value="bar0-">)");
      if (k == 0) {
        w_.Line(R"(<param name="FILENAME" value="VexnorATLog.dat">)");
      }
      w_.Line("</applet></td>");
      w_.Line(R"(<td width="25%" height="16" align="center">)");
      w_.Raw(R"(<p align="center">)");
      w_.LineF(R"(<a href="./VexnorATLog_%s.html" target="_blank">Result</a></td>)", name);
      w_.Line("</tr>");
    }
    w_.Line("</table>");
    w_.Line("");
  }

  // Asks the first bar once for the progress table and every bar for its
  // value slot, then sets bar k to the k-th percentage every second.
  void WriteScript() {
    const size_t n = regions_.size();
    w_.Line(R"(<script type="text/javascript">)");
    w_.Line("<!--");
    w_.Line("var id = -1;");
    for (size_t k = 0; k < n; ++k) {
      w_.LineF("var id%zu = -1;", k);
    }
    w_.Line("function JSStart() {");
    w_.Line("if(id == -1){");
    w_.Line(R"(id = document.bar0.getId("Table@d");)");
    for (size_t k = 0; k < n; ++k) {
      w_.LineF(R"(id%zu = document.bar%zu.getId("@p");)", k, k);
    }
    w_.Line("}");
    for (size_t k = 0; k < n; ++k) {
      w_.LineF("bar%zu.put(id%zu,document.bar0.get(id,%zu)/100.0);", k, k, k);
    }
    w_.Line(R"-(window.setTimeout("JSStart()", 1000);)-");
    w_.Line("}");
    w_.Line("// -->");
    w_.Line("</script>");
    w_.Line("<noscript>");
    w_.Line(Sjis("JavaScript対応ブラウザで表示してください。</p>"));
    w_.Line("<p></noscript>");
    w_.Line("<br>");
  }

  // The source rebuilt from the records' text, indented two non-breaking
  // spaces per open region or sub region; region directives link to their
  // result pages and carry the anchors of the table's links.
  void WriteListing() {
    for (const auto& record : tokenList_) {
      const std::string& t = record->SrcText;
      const TScript* script = record->Script.get();
      if (record->Kind == Sentinel) {
        continue;
      }
      if (record->Kind == EndOfStatement) {
        if (!buffer_.empty()) {
          WriteBuffer();
        }
      } else if (script == nullptr) {
        buffer_ += EscapeHtml(t);
        if (record->Kind == KwEnd) {
          buffer_ += "<br>";
        }
      } else if (script->Mark == DirectiveMark::RegionStart) {
        int32_t p = PositionOf(script);
        ++regionCounter_;
        AppendRegionLink(p, t);
        WriteBuffer();
        open_.push_back(p);
        ++ListingDepth;
      } else if (script->Mark == DirectiveMark::RegionEnd && !open_.empty()) {
        if (ListingDepth > 0) {
          --ListingDepth;
        }
        int32_t p = open_.back();
        open_.pop_back();
        AppendRegionLink(p, t);
      } else if (script->Mark == DirectiveMark::SubRegionStart) {
        AppendColoured("#008000", t);
        WriteBuffer();
        ++ListingDepth;
      } else if (script->Mark == DirectiveMark::SubRegionEnd) {
        AppendColoured("#008000", t);
        if (ListingDepth > 0) {
          --ListingDepth;
        }
      } else {
        AppendColoured("#000080", t);
      }
    }
  }

  // The position in the region list of the region a start directive
  // opened. The table's link "#k" names region k, so the anchor must be
  // that region's position even when the regions were reordered by their
  // numbers; counting start directives only serves a directive that built
  // no region.
  int32_t PositionOf(const TScript* script) const {
    auto found = position_.find(script->Region);
    if (script->Region != nullptr && found != position_.end()) {
      return found->second;
    }
    return regionCounter_;
  }

  void AppendRegionLink(int32_t p, const std::string& t) {
    std::string name;
    if (p >= 0 && static_cast<size_t>(p) < regions_.size()) {
      name = regions_[static_cast<size_t>(p)]->Name;
    }
    buffer_ += "<i><a name=\"";
    buffer_ += std::to_string(p);
    buffer_ += "\">";
    buffer_ += "<a href=\"./VexnorATLog_";
    buffer_ += name;
    buffer_ += ".html\"  target=\"_blank\"";
    buffer_ += ">";
    buffer_ += "<font color=\"#0000FF\">";
    buffer_ += EscapeHtml(t);
    buffer_ += "</font>";
    buffer_ += "</i></a>";
  }

  void AppendColoured(const char* colour, const std::string& t) {
    buffer_ += std::string("<i><font color=\"") + colour + "\">";
    buffer_ += EscapeHtml(t);
    buffer_ += "</font></i>";
  }

  void WriteBuffer() {
    for (int32_t d = 0; d < ListingDepth; ++d) {
      w_.Raw("&nbsp&nbsp");
    }
    w_.Line(buffer_ + "<br>");
    buffer_.clear();
  }

  const std::string& outDir_;
  const std::string& sourcePath_;
  const TTokenList& tokenList_;
  const TRegionList& regions_;
  std::unordered_map<const TTuneRegion*, int32_t> position_;
  TStringSink page_;
  TCodeWriter w_{page_};
  std::string buffer_;
  int32_t ListingDepth = 0;
  int32_t regionCounter_ = 0;
  std::vector<int32_t> open_;  // positions of the regions still open
};

}  // namespace

std::string SummaryPage(const std::string& outDir, const std::string& sourcePath,
                        const TTokenList& tokenList, const TRegionList& regions) {
  return TSummaryPage(outDir, sourcePath, tokenList, regions).Write();
}

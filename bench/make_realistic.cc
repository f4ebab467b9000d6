// Benchmark input, not a test: writes to standard output COPIES renamed
// copies of a reference routine with tuning regions put around given line
// ranges, each followed by a renamed copy of a routine without regions as
// everyday code. The routine files and the ranges are arguments, so the mix
// can move to other routines (for example ones with labelled DO loops)
// without changing this program.
//
//   make_realistic COPIES ROUTINE PLAIN REGION...
//   REGION = FIRST-LAST:SHAPE[:VAR]   lines of ROUTINE, 1-based, inclusive
//   SHAPE  = unroll (install, VAR unrolled 1 to 4 deep) | select (static,
//            the lines twice as two candidates) | dynamic (run-time, one
//            candidate per value of a varied parameter)
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TRegion {
  long First = 0;
  long Last = 0;
  std::string Shape;
  std::string Var;
};

std::vector<std::string> ReadLines(const char* path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    lines.push_back(line);
  }
  return lines;
}

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The name after SUBROUTINE or FUNCTION on the routine's first statement.
std::string RoutineName(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (line.empty() || line[0] == '*' || line[0] == 'c' || line[0] == 'C') {
      continue;
    }
    for (const char* word : {"SUBROUTINE ", "FUNCTION "}) {
      size_t at = line.find(word);
      if (at == std::string::npos) {
        continue;
      }
      size_t start = at + std::string(word).size();
      size_t end = start;
      while (end < line.size() && IsWordChar(line[end])) {
        ++end;
      }
      return line.substr(start, end - start);
    }
  }
  return "";
}

// Replaces whole-word occurrences of name by renamed.
std::string Renamed(const std::string& line, const std::string& name, const std::string& renamed) {
  std::string out;
  size_t i = 0;
  while (i < line.size()) {
    bool word = line.compare(i, name.size(), name) == 0 && (i == 0 || !IsWordChar(line[i - 1])) &&
                (i + name.size() >= line.size() || !IsWordChar(line[i + name.size()]));
    if (word) {
      out += renamed;
      i += name.size();
    } else {
      out += line[i++];
    }
  }
  return out;
}

bool ParseRegion(const std::string& text, TRegion& region) {
  std::istringstream in(text);
  std::string range;
  if (!std::getline(in, range, ':') || !std::getline(in, region.Shape, ':')) {
    return false;
  }
  std::getline(in, region.Var);
  size_t dash = range.find('-');
  if (dash == std::string::npos) {
    return false;
  }
  region.First = std::strtol(range.substr(0, dash).c_str(), nullptr, 10);
  region.Last = std::strtol(range.substr(dash + 1).c_str(), nullptr, 10);
  bool shape = region.Shape == "select" || region.Shape == "dynamic" ||
               (region.Shape == "unroll" && !region.Var.empty());
  return shape && region.First >= 1 && region.First <= region.Last;
}

void Body(const std::vector<std::string>& lines, const TRegion& r, const std::string& name,
          const std::string& renamed, std::string& out) {
  for (long l = r.First; l <= r.Last && l <= static_cast<long>(lines.size()); ++l) {
    out += Renamed(lines[l - 1], name, renamed) + "\n";
  }
}

void WriteRegion(const std::vector<std::string>& lines, const TRegion& r,
                 const std::string& regionName, const std::string& name, const std::string& renamed,
                 std::string& out) {
  std::string kind = r.Shape == "unroll"   ? "install unroll (" + r.Var + ")"
                     : r.Shape == "select" ? "static select"
                                           : "dynamic select";
  out += "!Vexnor$ " + kind + " region start\n";
  out += "!Vexnor$ name " + regionName + "\n";
  if (r.Shape == "unroll") {
    out += "!Vexnor$ varied (" + r.Var + ") from 1 to 4\n";
    Body(lines, r, name, renamed, out);
  } else {
    int candidates = r.Shape == "select" ? 2 : 1;
    for (int c = 0; c < candidates; ++c) {
      out += "!Vexnor$ select sub region start\n";
      if (r.Shape == "dynamic") {
        out += "!Vexnor$ varied (m) from 1 to 3\n";
      }
      Body(lines, r, name, renamed, out);
      out += "!Vexnor$ select sub region end\n";
    }
  }
  out += "!Vexnor$ " + kind + " region end\n";
}

}  // namespace

int main(int argc, char** argv) {
  long copies = argc >= 5 ? std::strtol(argv[1], nullptr, 10) : 0;
  std::vector<std::string> routine = argc >= 5 ? ReadLines(argv[2]) : std::vector<std::string>();
  std::vector<std::string> plain = argc >= 5 ? ReadLines(argv[3]) : std::vector<std::string>();
  std::vector<TRegion> regions;
  for (int a = 4; a < argc; ++a) {
    TRegion region;
    if (!ParseRegion(argv[a], region)) {
      copies = 0;
      break;
    }
    if (!regions.empty() && region.First <= regions.back().Last) {
      copies = 0;
    }
    regions.push_back(region);
  }
  const std::string name = RoutineName(routine);
  const std::string plainName = RoutineName(plain);
  if (copies <= 0 || name.empty() || plainName.empty()) {
    std::fprintf(stderr, "usage: make_realistic COPIES ROUTINE PLAIN FIRST-LAST:SHAPE[:VAR]...\n");
    return 2;
  }
  std::string out;
  char suffix[32];
  for (long k = 0; k < copies; ++k) {
    std::snprintf(suffix, sizeof suffix, "%05ld", k);
    const std::string renamed = name + suffix;
    size_t next = 0;  // index of the next region
    for (long l = 1; l <= static_cast<long>(routine.size()); ++l) {
      if (next < regions.size() && l == regions[next].First) {
        // Fixed-width names: no region name may stand inside another.
        std::string regionName = "r" + std::string(suffix) + static_cast<char>('a' + next);
        if (k == 0 && next == 0) {
          out += "!Vexnor$ Vexnor_ENDTUNESIZE = 1000\n";
        }
        WriteRegion(routine, regions[next], regionName, name, renamed, out);
        l = regions[next].Last;
        ++next;
        continue;
      }
      out += Renamed(routine[l - 1], name, renamed) + "\n";
    }
    for (const std::string& line : plain) {
      out += Renamed(line, plainName, plainName + suffix) + "\n";
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

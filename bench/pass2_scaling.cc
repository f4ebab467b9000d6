// Benchmark, not a test: times Pass 1 and Pass 2 on generated sources with
// 5,000 and 50,000 distinct variables and prints how the time grows. Linear
// growth shows as a ratio near 10.
#include <chrono>
#include <cstdio>
#include <string>

#include "frontend/declarations.h"
#include "frontend/pass1.h"
#include "platform/reporter.h"

namespace {

std::string MakeSource(int variables) {
  std::string source = "      subroutine bench(n)\n      integer n\n";
  for (int v = 0; v < variables; ++v) {
    std::string name = "v" + std::to_string(v);
    source += "      real*8 " + name + "(n)\n";
  }
  for (int v = 1; v < variables; ++v) {
    source += "      v" + std::to_string(v) + "(1) = v" + std::to_string(v - 1) + "(1) * 2.0d0\n";
  }
  source += "      end\n";
  return source;
}

double SecondsFor(int variables, double& pass2) {
  std::string source = MakeSource(variables);
  TSilentReporter reporter;
  auto start = std::chrono::steady_clock::now();
  TTokenList list = BuildTokenList(source, reporter);
  auto middle = std::chrono::steady_clock::now();
  TValList vars;
  AnalyseDeclarations(list, vars, reporter);
  auto end = std::chrono::steady_clock::now();
  pass2 = std::chrono::duration<double>(end - middle).count();
  return std::chrono::duration<double>(end - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2) {  // one size only, for instruction counters
    double pass2 = 0;
    SecondsFor(std::stoi(argv[1]), pass2);
    std::printf("pass 2: %.4f s\n", pass2);
    return 0;
  }
  double small2 = 0;
  double large2 = 0;
  SecondsFor(5000, small2);  // warm-up
  double small = SecondsFor(5000, small2);
  double large = SecondsFor(50000, large2);
  std::printf("variables   pass1+2 (s)   pass2 (s)\n");
  std::printf("%9d   %11.4f   %9.4f\n", 5000, small, small2);
  std::printf("%9d   %11.4f   %9.4f\n", 50000, large, large2);
  double huge2 = 0;
  double huge = SecondsFor(500000, huge2);
  std::printf("%9d   %11.4f   %9.4f\n", 500000, huge, huge2);
  std::printf("pass 2 ratio 50000/5000: %.1f, 500000/50000: %.1f (linear is about 10)\n",
              large2 / small2, huge2 / large2);
  return 0;
}

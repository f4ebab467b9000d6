// Benchmark input, not a test: writes to standard output one subroutine
// with BLOCKS blocks, each some everyday statements and two tuning regions
// (a before-execution select region with two candidates and an install
// unroll region), so that one program unit holds 2 * BLOCKS regions.
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  long blocks = argc == 2 ? std::strtol(argv[1], nullptr, 10) : 0;
  if (blocks <= 0) {
    std::fprintf(stderr, "usage: make_stress BLOCKS\n");
    return 2;
  }
  std::string out = "      subroutine stress(n, a, b, c)\n"
                    "      integer n, i, j\n"
                    "      real*8 a(n), b(n), c(n), s, t\n"
                    "!Vexnor$ Vexnor_ENDTUNESIZE = 1000\n"
                    "      s = 0.0d0\n"
                    "      t = 1.0d0\n";
  char name[32];
  for (long k = 0; k < blocks; ++k) {
    // Fixed-width names: no region name may stand inside another.
    std::snprintf(name, sizeof name, "%07ld", k);
    out += "c     block " + std::to_string(k) + "\n";
    out += "      s = s + a(1) * t\n";
    out += "      if (s .gt. 1.0d6) then\n";
    out += "        s = s / 2.0d0\n";
    out += "      endif\n";
    out += "!Vexnor$ static select region start\n";
    out += "!Vexnor$ name s" + std::string(name) + "\n";
    out += "!Vexnor$ select sub region start\n";
    out += "      do i = 1, n\n        b(i) = a(i) * t + c(i)\n      enddo\n";
    out += "!Vexnor$ select sub region end\n";
    out += "!Vexnor$ select sub region start\n";
    out += "      do i = 1, n\n        b(i) = c(i) + t * a(i)\n      enddo\n";
    out += "!Vexnor$ select sub region end\n";
    out += "!Vexnor$ static select region end\n";
    out += "      t = t * 0.5d0 + b(n)\n";
    out += "!Vexnor$ install unroll (j) region start\n";
    out += "!Vexnor$ name u" + std::string(name) + "\n";
    out += "!Vexnor$ varied (j) from 1 to 4\n";
    out += "      do j = 1, n\n        c(j) = c(j) + b(j) * s\n      enddo\n";
    out += "!Vexnor$ install unroll (j) region end\n";
  }
  out += "      return\n      end\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

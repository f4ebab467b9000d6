// The least-squares support routines of vex_data/ControlSubrutions.f
// compiled with gfortran under -fcheck=all and run on tables of problems:
// exact polynomials come back, the cheapest case is the true one, and
// degenerate samples still give a valid case and finite numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "fortran/fortran_support.h"

namespace {

// Reads the problems of fit.in, one after the other, calls the support
// routines the way the generated code does (whole arrays of the generated
// shapes, element (0) or (0,0) passed) and prints what they return after a
// line "case k". Problem kinds: 1 fit over the case number at one problem
// size, 2 fit over the problem sizes then lookups, 3 both in a row as a
// tuning run does, 4 a lookup with out-of-range counts on zero
// coefficients.
const char kHarness[] = R"(c     Runs the least-squares support routines on the problems of fit.in.
      program lsmrun
      implicit none
      include 'VexnorScript.h'
      real*8 x(0:VexnorLSM_MAX_N-1), y(0:VexnorLSM_MAX_N-1)
      real*8 a_lsm(0:VexnorLSM_MAX_M)
      real*8 xDim(0:VexnorLSM_MAX_N-1, 0:VexnorLSM_MAX_NPARM-1)
      real*8 yEst(0:VexnorLSM_MAX_N-1, 0:VexnorLSM_MAX_NPARM-1)
      real*8 aa_lsm(0:VexnorLSM_MAX_M, 0:VexnorLSM_MAX_NPARM-1)
      integer isizes(0:VexnorLSM_MAX_N-1)
      integer kind, icase, nparm, m_lsm, n_lsm, nsamp, nq, msize
      integer i, j, ic, ibest, n, nsized, nout
 900  format(a, 4096(1x, es24.16))
 901  format(a, 1x, i0, 1x, i0)

      open(20, file = 'fit.in', status = 'old')
      icase = 0
 10   read (20, *, end = 90) kind
      icase = icase + 1
      write (*, '(a, i0)') 'case ', icase
      do ic = 0, VexnorLSM_MAX_NPARM-1
        do i = 0, VexnorLSM_MAX_N-1
          xDim(i, ic) = -1.0d0
          yEst(i, ic) = -1.0d0
        enddo
      enddo

      if (kind .eq. 1) then
        read (20, *) nparm, m_lsm, n_lsm
        read (20, *) (x(i), i=0, n_lsm-1)
        read (20, *) (y(i), i=0, n_lsm-1)
        call VexnorLSM_Est_ParamFxDim(x(0), y(0), n_lsm, m_lsm,
     &       a_lsm(0), 500, nparm, 2, xDim(0,0), yEst(0,0), ibest)
        nsized = 0
        nout = 0
        do ic = 0, VexnorLSM_MAX_NPARM-1
          do i = 0, VexnorLSM_MAX_N-1
            if (i .eq. 2 .and. ic .lt. nparm) then
              if (xDim(i, ic) .eq. 500.0d0) nsized = nsized + 1
            else if (xDim(i, ic) .ne. -1.0d0 .or.
     &               yEst(i, ic) .ne. -1.0d0) then
              nout = nout + 1
            endif
          enddo
        enddo
        write (*, 901) 'best', ibest
        write (*, 901) 'layout', nsized, nout
        write (*, 900) 'coef', (a_lsm(i), i=0, m_lsm)
        write (*, 900) 'est', (yEst(2, ic), ic=0, nparm-1)

      else if (kind .eq. 2) then
        read (20, *) nparm, m_lsm, nsamp, nq
        read (20, *) (isizes(i), i=0, nsamp-1)
        do ic = 0, nparm-1
          read (20, *) (yEst(i, ic), i=0, nsamp-1)
          do i = 0, nsamp-1
            xDim(i, ic) = dble(isizes(i))
          enddo
        enddo
        n_lsm = nparm
        call VexnorLSM_lsm_DimEst(xDim(0,0), yEst(0,0), n_lsm, m_lsm,
     &       aa_lsm(0,0), nparm, nsamp)
        do ic = 0, nparm-1
          write (*, 900) 'coef', (aa_lsm(i, ic), i=0, m_lsm)
        enddo
        call picks(nq, nparm, m_lsm, aa_lsm)

      else if (kind .eq. 3) then
        read (20, *) nparm, m_lsm, msize, nsamp, n_lsm, nq
        read (20, *) (isizes(i), i=0, nsamp-1)
        read (20, *) (x(i), i=0, n_lsm-1)
        do j = 0, nsamp-1
          read (20, *) (y(i), i=0, n_lsm-1)
          call VexnorLSM_Est_ParamFxDim(x(0), y(0), n_lsm, m_lsm,
     &         a_lsm(0), isizes(j), nparm, j, xDim(0,0), yEst(0,0),
     &         ibest)
          write (*, 901) 'best', isizes(j), ibest
        enddo
        n_lsm = nparm
        call VexnorLSM_lsm_DimEst(xDim(0,0), yEst(0,0), n_lsm, msize,
     &       aa_lsm(0,0), nparm, nsamp)
        call picks(nq, nparm, msize, aa_lsm)

      else
        read (20, *) nparm, m_lsm, n
        do ic = 0, VexnorLSM_MAX_NPARM-1
          do i = 0, VexnorLSM_MAX_M
            aa_lsm(i, ic) = 0.0d0
          enddo
        enddo
        call VexnorLSM_Est_Param(n, nparm, m_lsm, aa_lsm, ibest)
        write (*, 901) 'pick', n, ibest
      endif
      goto 10

 90   close(20)
      end

c     Reads nq problem sizes and prints the case chosen for each.
      subroutine picks(nq, nparm, m_lsm, aa_lsm)
      implicit none
      include 'VexnorScript.h'
      integer nq, nparm, m_lsm
      real*8 aa_lsm(0:VexnorLSM_MAX_M, 0:VexnorLSM_MAX_NPARM-1)
      integer iq, n(100), isw

      read (20, *) (n(iq), iq=1, nq)
      do iq = 1, nq
        call VexnorLSM_Est_Param(n(iq), nparm, m_lsm, aa_lsm, isw)
        write (*, '(a, 1x, i0, 1x, i0)') 'pick', n(iq), isw
      enddo
      return
      end
)";

using TPoly = std::vector<double>;  // coefficients, highest power first

double Value(const TPoly& poly, double x) {
  double value = 0.0;
  for (double c : poly) {
    value = value * x + c;
  }
  return value;
}

// The case from 1 to count of least cost, the lowest on a tie.
int Cheapest(int count, const std::function<double(int)>& cost) {
  int best = 1;
  for (int c = 2; c <= count; ++c) {
    if (cost(c) < cost(best)) {
      best = c;
    }
  }
  return best;
}

// One fit over the case number at problem size 500, sample index 2.
// Without Times the times are Fit at the sampled cases; otherwise Fit is
// the fit the samples determine (padded with zeros up to Order).
struct TCaseFit {
  const char* Name;
  int CaseCount;
  int Order;
  std::vector<double> Cases;
  TPoly Fit;
  std::vector<double> Times;
};

const TCaseFit kCaseFits[] = {
    {"order 0", 8, 0, {2, 5, 7}, {7.0}, {}},
    {"order 1", 8, 1, {1, 8}, {-0.25, 3.0}, {}},
    {"order 2", 8, 2, {1, 3, 6, 8}, {1.0, -10.0, 26.0}, {}},
    {"order 3", 8, 3, {1, 3, 5, 7}, {0.5, -3.0, 2.0, 10.0}, {}},
    {"order 3 on many cases", 3000, 3, {1, 700, 1500, 2200, 3000},
     {1e-9, -3e-6, 2e-3, 5.0}, {}},
    {"one sample", 8, 2, {5}, {0.0, 0.0, 3.0}, {3.0}},
    {"one case sampled thrice", 8, 2, {3, 3, 3}, {0.0, 0.0, 7.0}, {5.0, 7.0, 9.0}},
    {"two cases sampled twice", 8, 3, {2, 2, 6, 6}, {0.0, 0.0, 2.0, 1.0},
     {4.0, 6.0, 12.0, 14.0}},
    {"order above the samples", 8, 3, {2, 6}, {0.0, 0.0, -2.0, 15.0}, {11.0, 3.0}},
    {"no samples", 8, 1, {}, {0.0, 0.0}, {}},
    {"a time that is not a number", 8, 2, {1, 4, 8}, {0.0, -4.0 / 7.0, 5.0 + 4.0 / 7.0},
     {5.0, NAN, 1.0}},
};

// Fits over the problem sizes of the cases' exact polynomials, then the
// lookups at Queries.
struct TSizeFit {
  const char* Name;
  int Order;
  std::vector<int> Sizes;
  std::vector<TPoly> Cases;
  std::vector<int> Queries;
};

const std::vector<int> kSizes = {100, 200, 300, 400, 500, 600, 700, 800, 900, 1000};

const TSizeFit kSizeFits[] = {
    {"order 0", 0, kSizes, {{7.0}, {2.5}, {9.0}}, {100, 5000}},
    {"order 1", 1, kSizes, {{0.01, 1.0}, {0.004, 3.0}, {0.02, 0.5}}, {20, 100, 1000}},
    {"order 2", 2, kSizes, {{1e-5, -2e-3, 1.0}, {2e-6, 1e-3, 0.8}, {-1e-6, 4e-3, 0.3}},
     {10, 150, 600, 2000}},
    {"order 3", 3, kSizes,
     {{1e-8, -1e-5, 3e-3, 2.0}, {-1e-9, 2e-6, 1e-3, 2.5}, {2e-9, 1e-6, -1e-3, 3.0}},
     {50, 300, 700, 1500}},
    {"one size", 2, {300}, {{0.0, 0.0, 5.0}, {0.0, 0.0, 4.0}}, {300, 9000}},
    {"order above the sizes", 3, {100, 200},
     {{0.0, 0.0, 0.01, 1.0}, {0.0, 0.0, 0.02, 0.5}}, {20, 100}},
    {"repeated sizes", 2, {100, 100, 100, 300, 300},
     {{0.0, 0.01, 1.0}, {0.0, -0.002, 4.0}}, {100, 300}},
};

// Problem text with every number exact.
std::string Numbers(const std::vector<double>& values) {
  std::ostringstream text;
  text.precision(17);
  for (double v : values) {
    if (std::isnan(v)) {
      text << " NaN";
    } else {
      text << ' ' << v;
    }
  }
  return text.str() + "\n";
}

std::string Numbers(const std::vector<int>& values) {
  return Numbers(std::vector<double>(values.begin(), values.end()));
}

// The harness output, by case number: the lines after "case k", each split
// into its tag and its numbers.
struct TLine {
  std::string Tag;
  std::vector<double> Values;
};

std::map<int, std::vector<TLine>> Blocks(const std::string& output) {
  std::map<int, std::vector<TLine>> blocks;
  int current = 0;
  for (const std::string& line : Lines(output)) {
    std::istringstream words(line);
    TLine parsed;
    words >> parsed.Tag;
    std::string word;
    while (words >> word) {
      parsed.Values.push_back(std::strtod(word.c_str(), nullptr));
    }
    if (parsed.Tag == "case" && parsed.Values.size() == 1) {
      current = static_cast<int>(parsed.Values[0]);
    } else if (current > 0) {
      blocks[current].push_back(parsed);
    }
  }
  return blocks;
}

// got agrees with want to 1e-8 relative (and is a number).
void ExpectClose(double got, double want, const std::string& what) {
  EXPECT_TRUE(std::isfinite(got)) << what << ": " << got;
  EXPECT_LE(std::fabs(got - want), 1e-8 * std::fabs(want))
      << what << ": " << got << " for " << want;
}

void ExpectLine(const TLine& line, const std::string& tag, const std::vector<double>& want,
                const std::string& what) {
  ASSERT_EQ(line.Tag, tag) << what;
  ASSERT_EQ(line.Values.size(), want.size()) << what << " " << tag;
  for (size_t i = 0; i < want.size(); ++i) {
    ExpectClose(line.Values[i], want[i], what + " " + tag + " " + std::to_string(i));
  }
}

class FittingSupportRun : public testing::Test {
 protected:
  // Compiles the harness with the support file once for all tests.
  static void SetUpTestSuite() {
    workspace_ = new fortran::TFortranWorkspace;
    workspace_->Write("lsmrun.f", kHarness);
    compiled_ = workspace_->Compile(
        {"lsmrun.f", fortran::IncludeFolder() + "/ControlSubrutions.f"}, "lsmrun",
        {"-std=legacy", "-fcheck=all"});
  }
  static void TearDownTestSuite() {
    delete workspace_;
    workspace_ = nullptr;
  }

  // Runs the harness on problems; the blocks of its output.
  std::map<int, std::vector<TLine>> Run(const std::string& problems) {
    EXPECT_TRUE(compiled_.Ok()) << compiled_.Output;
    if (!compiled_.Ok()) {
      return {};
    }
    workspace_->Write("fit.in", problems);
    fortran::TCommandResult run = workspace_->RunMpi(1, "lsmrun");
    EXPECT_TRUE(run.Ok()) << "status " << run.Status << "\n" << run.Output;
    return Blocks(run.Output);
  }

  static fortran::TFortranWorkspace* workspace_;
  static fortran::TCommandResult compiled_;
};

fortran::TFortranWorkspace* FittingSupportRun::workspace_ = nullptr;
fortran::TCommandResult FittingSupportRun::compiled_;

TEST_F(FittingSupportRun, FitOverTheCaseNumberEstimatesEveryCase) {
  std::string problems;
  for (const TCaseFit& fit : kCaseFits) {
    std::vector<double> times = fit.Times;
    if (times.empty()) {
      for (double c : fit.Cases) {
        times.push_back(Value(fit.Fit, c));
      }
    }
    problems += "1\n" + std::to_string(fit.CaseCount) + " " + std::to_string(fit.Order) + " " +
                std::to_string(fit.Cases.size()) + "\n" + Numbers(fit.Cases) + Numbers(times);
  }
  std::map<int, std::vector<TLine>> blocks = Run(problems);

  int k = 0;
  for (const TCaseFit& fit : kCaseFits) {
    const std::vector<TLine>& lines = blocks[++k];
    ASSERT_EQ(lines.size(), 4u) << fit.Name;
    std::vector<double> estimates;
    for (int c = 1; c <= fit.CaseCount; ++c) {
      estimates.push_back(Value(fit.Fit, c));
    }
    int best = Cheapest(fit.CaseCount, [&](int c) { return estimates[c - 1]; });
    ExpectLine(lines[0], "best", {static_cast<double>(best)}, fit.Name);
    // Row 2 of xDim holds the problem size for every case; nothing else
    // of xDim and yEst changes.
    ExpectLine(lines[1], "layout", {static_cast<double>(fit.CaseCount), 0.0}, fit.Name);
    ExpectLine(lines[2], "coef", fit.Fit, fit.Name);
    ExpectLine(lines[3], "est", estimates, fit.Name);
  }
}

TEST_F(FittingSupportRun, FitOverTheProblemSizesChoosesTheCheapestCase) {
  std::string problems;
  for (const TSizeFit& fit : kSizeFits) {
    problems += "2\n" + std::to_string(fit.Cases.size()) + " " + std::to_string(fit.Order) +
                " " + std::to_string(fit.Sizes.size()) + " " +
                std::to_string(fit.Queries.size()) + "\n" + Numbers(fit.Sizes);
    for (const TPoly& poly : fit.Cases) {
      std::vector<double> costs;
      for (int n : fit.Sizes) {
        costs.push_back(Value(poly, n));
      }
      problems += Numbers(costs);
    }
    problems += Numbers(fit.Queries);
  }
  std::map<int, std::vector<TLine>> blocks = Run(problems);

  int k = 0;
  for (const TSizeFit& fit : kSizeFits) {
    const std::vector<TLine>& lines = blocks[++k];
    const int count = static_cast<int>(fit.Cases.size());
    ASSERT_EQ(lines.size(), fit.Cases.size() + fit.Queries.size()) << fit.Name;
    for (int c = 0; c < count; ++c) {
      ExpectLine(lines[c], "coef", fit.Cases[c], fit.Name + std::string(" case ") +
                                                      std::to_string(c + 1));
    }
    for (size_t q = 0; q < fit.Queries.size(); ++q) {
      const int n = fit.Queries[q];
      int best = Cheapest(count, [&](int c) { return Value(fit.Cases[c - 1], n); });
      ExpectLine(lines[count + q], "pick", {static_cast<double>(n), static_cast<double>(best)},
                 fit.Name);
    }
  }
}

// A tuning run of 8 cases over sizes 100 to 600, measuring cases 1, 3, 5,
// 6 and 8 of the cost (c - 1 - n/100)**2 + n/50, whose cheapest case moves
// from 2 to 7 with the size: each size's estimate and each later lookup,
// inside the sizes and beyond them, finds the true cheapest case.
TEST_F(FittingSupportRun, TuningRunFindsTheCheapestCaseOfAKnownCost) {
  auto cost = [](int c, int n) {
    double centre = 1.0 + n / 100.0;
    return (c - centre) * (c - centre) + n / 50.0;
  };
  const std::vector<int> sizes = {100, 200, 300, 400, 500, 600};
  const std::vector<int> sampled = {1, 3, 5, 6, 8};
  const std::vector<int> queries = {20, 230, 470, 1000};
  std::string problems = "3\n8 2 2 " + std::to_string(sizes.size()) + " " +
                         std::to_string(sampled.size()) + " " + std::to_string(queries.size()) +
                         "\n" + Numbers(sizes) + Numbers(sampled);
  for (int n : sizes) {
    std::vector<double> times;
    for (int c : sampled) {
      times.push_back(cost(c, n));
    }
    problems += Numbers(times);
  }
  problems += Numbers(queries);
  std::vector<TLine> lines = Run(problems)[1];

  ASSERT_EQ(lines.size(), sizes.size() + queries.size());
  for (size_t k = 0; k < sizes.size(); ++k) {
    const int n = sizes[k];
    ExpectLine(lines[k], "best",
               {static_cast<double>(n), static_cast<double>(Cheapest(8, [&](int c) {
                  return cost(c, n);
                }))},
               "size " + std::to_string(n));
  }
  for (size_t q = 0; q < queries.size(); ++q) {
    const int n = queries[q];
    ExpectLine(lines[sizes.size() + q], "pick",
               {static_cast<double>(n), static_cast<double>(Cheapest(8, [&](int c) {
                  return cost(c, n);
                }))},
               "lookup " + std::to_string(n));
  }
}

// Only process 0 reads the case count and the order before the lookup
// runs on every process: whatever the others hold, they stay inside the
// arrays and name a valid case.
TEST_F(FittingSupportRun, LookupWithCountsOutOfRangeNamesCaseOne) {
  const std::vector<std::vector<int>> counts = {{100000, 50}, {-3, -1}, {0, 2}, {4096, 9}};
  std::string problems;
  for (const std::vector<int>& pair : counts) {
    problems += "4\n" + std::to_string(pair[0]) + " " + std::to_string(pair[1]) + " 700\n";
  }
  std::map<int, std::vector<TLine>> blocks = Run(problems);
  for (size_t k = 0; k < counts.size(); ++k) {
    const std::vector<TLine>& lines = blocks[static_cast<int>(k) + 1];
    ASSERT_EQ(lines.size(), 1u) << k;
    ExpectLine(lines[0], "pick", {700.0, 1.0}, "counts " + std::to_string(counts[k][0]));
  }
}

}  // namespace

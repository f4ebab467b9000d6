// Pass 2: the variable table, scope counters, access marks and folding.
#include "frontend/declarations.h"

#include <gtest/gtest.h>

#include "platform/encoding.h"
#include "test_support.h"

namespace {

struct TAnalysed {
  TRecordingReporter Reporter;
  TTokenList List;
  TValList Vars;

  explicit TAnalysed(const std::string& source) {
    List = BuildTokenList(source, Reporter);
    AnalyseDeclarations(List, Vars, Reporter);
  }

  const TValData* Var(const std::string& name, int32_t unit = 0) const {
    for (const auto& v : Vars) {
      if (v->Name == name && v->Unit == unit) {
        return v.get();
      }
    }
    return nullptr;
  }

  std::string VarDump(const std::string& name, int32_t unit = 0) const {
    const TValData* v = Var(name, unit);
    return v ? Dump(*v) : "missing " + name;
  }

  // The first record with this text at or after index from.
  const TToken& Record(const std::string& text, size_t from = 0) const {
    for (size_t i = from; i < List.size(); ++i) {
      if (List[i]->Text == text) {
        return *List[i];
      }
    }
    static TToken none("", Sentinel, 0, 0);
    return none;
  }

  std::string Marks() const {
    std::string out;
    for (const auto& t : List) {
      if (t->Var == nullptr) {
        continue;
      }
      static const char* const kAccess[] = {"-", "r", "w", "rw"};
      out += t->Text + ":" + kAccess[static_cast<int>(t->Access) & 3] + " ";
    }
    return out;
  }
};

struct TVarCase {
  const char* Name;
  const char* Source;
  const char* Variable;
  const char* Expected;  // Dump of the variable
};

void PrintTo(const TVarCase& c, std::ostream* os) { *os << c.Name; }

const TVarCase kVarCases[] = {
    {"ParameterStatement", "      PARAMETER (N = 1000)\n", "N",
     "N unit=0 Int value=1000 parameter decl=3 type=[1,3) r=0 w=0"},
    {"ParameterAfterType", "      INTEGER N\n      PARAMETER (N = 2*500+1)\n", "N",
     "N unit=0 Int value=1001 parameter decl=2 type=[1,2) r=0 w=0"},
    {"IntegerDivisionTruncates", "      PARAMETER (N = 1001)\n      PARAMETER (M = N/2)\n", "M",
     "M unit=0 Int value=500 parameter decl=10 type=[8,10) r=0 w=0"},
    {"MultiplyAndDivideLeftToRight", "      parameter (n = 1001, m = 2*n/3)\n", "m",
     "m unit=0 Int value=667 parameter decl=7 type=[1,3) r=0 w=0"},
    {"SignBindsLooserThanPower", "      parameter (k = -2**2 + 2**3**2)\n", "k",
     "k unit=0 Int value=508 parameter decl=3 type=[1,3) r=0 w=0"},
    {"RealValue", "      real*8 h\n      parameter (h = 1.0d-3 * 4)\n", "h",
     "h unit=0 Real*8 value=0.004 parameter decl=4 type=[1,4) r=0 w=0"},
    {"ParameterAttribute", "      integer, parameter :: n = 100\n", "n",
     "n unit=0 Int value=100 parameter decl=5 type=[1,5) r=0 w=0"},
    {"KindAndBounds", "      PARAMETER (N = 100)\n      REAL*8 A(0:N-1, 10), B\n", "A",
     "A unit=0 Real*8 array decl=11 type=[8,11) dim=[12,21) 0:100 1:10 r=0 w=0"},
    {"ScalarBesideArray", "      PARAMETER (N = 100)\n      REAL*8 A(0:N-1, 10), B\n", "B",
     "B unit=0 Real*8 decl=22 type=[8,11) r=0 w=0"},
    {"DimensionAttribute", "      REAL, DIMENSION(10, 20) :: X\n", "X",
     "X unit=0 Real array decl=10 type=[1,10) 1:10 1:20 r=0 w=0"},
    {"CharacterLength", "      CHARACTER(LEN=16) S\n", "S",
     "S unit=0 Char*16 decl=7 type=[1,7) r=0 w=0"},
    {"CharacterStarLength", "      character*8 s, t*4\n", "t",
     "t unit=0 Char*8 decl=6 type=[1,4) r=0 w=0"},
    {"DimensionStatementAfterType", "      real*8 a\n      dimension a(10)\n", "a",
     "a unit=0 Real*8 array decl=4 type=[1,4) dim=[8,11) 1:10 r=0 w=0"},
    {"TypeAfterDimensionStatement", "      dimension b(5)\n      real*8 b\n", "b",
     "b unit=0 Real*8 array decl=2 type=[7,10) dim=[3,6) 1:5 r=0 w=0"},
    {"DeferredShape", "      real*8, allocatable :: c(:,:)\n", "c",
     "c unit=0 Real*8 array decl=7 type=[1,7) dim=[8,13) 1:0 1:0 r=0 w=0"},
    {"AssumedSize", "      subroutine s(d, n)\n      integer n\n      real d(n, *)\n", "d",
     "d unit=0 Real array argument decl=13 type=[12,13) dim=[14,19) 1:0 1:0 r=0 w=0"},
    {"IntentAttribute", "      integer, intent(in) :: n\n", "n",
     "n unit=0 Int decl=8 type=[1,8) r=0 w=0"},
    {"DerivedType", "      type(point) :: p\n", "p",
     "p unit=0 Real decl=6 type=[1,6) r=0 w=0"},
    {"FunctionReference", "      y = f(x)\n", "f", "f unit=0 RealFunc array decl=-1 type=[-1,-1) r=1 w=0"},
    {"IntegerFunctionReference", "      y = k(x)\n", "k",
     "k unit=0 IntFunc array decl=-1 type=[-1,-1) r=1 w=0"},
    {"ImplicitRealStar8", "      implicit real*8 (a-h,o-z)\n      x = 1\n", "x",
     "x unit=0 Real decl=-1 type=[-1,-1) r=0 w=1 implicit=real*8"},
    {"ImplicitDoublePrecision",
     "      implicit double precision (a-h, o-z), integer (i-n)\n      y = i\n", "y",
     "y unit=0 Real decl=-1 type=[-1,-1) r=0 w=1 implicit=double precision"},
    {"ImplicitInteger", "      implicit integer (a-c)\n      b = 1\n", "b",
     "b unit=0 Int decl=-1 type=[-1,-1) r=0 w=1 implicit=integer"},
    {"ImplicitRulesRetypeTheHeadingsArguments",
     "      subroutine s(a)\n      implicit real*8 (a-h,o-z)\n", "a",
     "a unit=0 Real argument decl=-1 type=[-1,-1) r=0 w=0 implicit=real*8"},
    {"ImplicitNoneKeepsDefault", "      implicit none\n      b = 1\n", "b",
     "b unit=0 Real decl=-1 type=[-1,-1) r=0 w=1"},
    {"HugeConstantsSaturate", "      parameter (n = 99999999999, m = 2**1000)\n      real a(n, m, 1e300)\n", "a",
     "a unit=0 Real array decl=15 type=[14,15) dim=[16,23) 1:2147483647 1:2147483647 "
     "1:2147483647 r=0 w=0"},
};

class VarCases : public ::testing::TestWithParam<TVarCase> {};

TEST_P(VarCases, DeclareTheVariable) {
  TAnalysed a(GetParam().Source);
  EXPECT_EQ(a.VarDump(GetParam().Variable), GetParam().Expected);
  EXPECT_EQ(a.Reporter.Errors, 0);
}

INSTANTIATE_TEST_SUITE_P(Declarations, VarCases, ::testing::ValuesIn(kVarCases),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TMarksCase {
  const char* Name;
  const char* Source;
  const char* Expected;  // name:access of every record with a variable
};

void PrintTo(const TMarksCase& c, std::ostream* os) { *os << c.Name; }

const TMarksCase kMarksCases[] = {
    {"ReadWrite", "      x = x + 1\n", "x:rw x:r "},
    {"WriteAndRead", "      x = y\n", "x:w y:r "},
    {"DoLoop", "      do i = 1, n\n      a(i) = 0\n      enddo\n", "i:w n:r a:w i:r "},
    {"LogicalIfAction", "      if (a.lt.b) flag = .true.\n", "a:r b:r flag:w "},
    {"SignedExponent", "      x = 1.0d-3*y\n", "x:w y:r "},
    {"PrintList", "      print *, z\n", "z:r "},
    {"ElseIf", "      if (v) then\n      else if (w.gt.0) then\n      endif\n", "v:r w:r "},
    {"ExpressionEndingEarly", "      s = sum(c(1:m))\n", "s:w sum:r c:r m:r "},
    {"Component", "      p = q%r\n", "p:w q:r "},
    {"SelectCase", "      select case (k)\n      case (lo:hi)\n      case default\n      end select\n",
     "k:r lo:r hi:r "},
    {"WhereMask", "      where (m > 0) u = v\n", "m:r u:w v:r "},
    {"ArraySectionTarget", "      A(1:N) = B(1:N)\n", "A:w N:r B:r N:r "},
    {"ReadItemsAreWritten", "      read(5, *, iostat=ios) a, b(i), (c(k), k=1, n)\n",
     "ios:r a:w b:w i:r c:w k:r k:w n:r "},
    {"WriteSpecifiers", "      write(unit=iu, fmt='(a)') t\n", "iu:r t:r "},
    {"CallArguments", "      call solve(a, n, x(1:m))\n", "a:r n:r x:r m:r "},
    {"DoWhile", "      do while (err .gt. tol)\n      enddo\n", "err:r tol:r "},
};

class MarksCases : public ::testing::TestWithParam<TMarksCase> {};

TEST_P(MarksCases, MarkEveryNameReadOrWritten) {
  TAnalysed a(GetParam().Source);
  EXPECT_EQ(a.Marks(), GetParam().Expected);
  EXPECT_EQ(a.Reporter.Errors, 0);
  for (const auto& t : a.List) {
    if (t->Var != nullptr) {
      EXPECT_TRUE(IsFortranName(t->Text)) << t->Text;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Declarations, MarksCases, ::testing::ValuesIn(kMarksCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Declarations, EveryNameOfTheMendedStatementsCarriesItsVariable) {
  TAnalysed a(
      "      if (a.lt.b) flag = .true.\n      x = 1.0d-3*y\n      print *, z\n"
      "      if (v) then\n      else if (w.gt.0) then\n      endif\n"
      "      s = sum(c(1:m))\n      p = q%r\n");
  for (const char* name : {"a", "b", "flag", "x", "y", "z", "w", "s", "c", "m", "p", "q"}) {
    const TToken& t = a.Record(name);
    EXPECT_NE(t.Var, nullptr) << name;
  }
  EXPECT_EQ(a.Record("r").Var, nullptr);
  EXPECT_EQ(a.Var("r"), nullptr);
  EXPECT_EQ(a.Var(".true."), nullptr);
  EXPECT_EQ(a.Var("1.0d"), nullptr);
}

TEST(Declarations, ScopeCountersAndEndDo) {
  TAnalysed a(
      "      program p\n      do i = 1, n\n        do while (x)\n        enddo\n"
      "        if (x) then\n        endif\n      enddo\n      end\n");
  const TToken& outer = a.Record("do");
  const TToken& whileEnd = a.Record("enddo");
  const TToken& outerEnd = a.Record("enddo", static_cast<size_t>(whileEnd.Index) + 1);
  EXPECT_EQ(outer.EndDoIndex, outerEnd.Index);
  EXPECT_EQ(a.Record("i").Access, AccessKind::Write);
  EXPECT_EQ(a.Record("if").BlockDepth, 1);
  EXPECT_EQ(a.Record("endif").BlockDepth, 2);
  EXPECT_EQ(outerEnd.BlockDepth, 1);
  EXPECT_EQ(a.Record("p").UnitDepth, 0);
  EXPECT_EQ(a.Record("end").UnitDepth, 1);
  EXPECT_EQ(a.List[a.List.size() - 2]->Unit, 0);
}

TEST(Declarations, BlocksOfFortran90DoNotEndTheUnit) {
  TAnalysed a(
      "      subroutine s(k)\n      real*8 t\n      type(point) :: p\n"
      "      interface f\n        module procedure f1, f2\n      end interface\n"
      "      select case (k)\n      case (1)\n        t = 1\n      end select\n"
      "      where (t > 0) t = 0\n      endselect\n      t = t + p%x\n      end subroutine\n"
      "      subroutine u\n      t = 2\n      end\n");
  const int32_t second = a.Record("u").Index - 1;
  for (const auto& t : a.List) {
    if (t->Kind != Sentinel) {
      EXPECT_EQ(t->Unit, t->Index < second ? 0 : 1) << t->Text;
    }
  }
  const TValData* t = a.Var("t");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->KindLen, 8);
  EXPECT_GE(t->DeclIndex, 0);
  EXPECT_NE(a.Var("p")->DeclIndex, -1);
  EXPECT_EQ(a.Var("t", 1)->DeclIndex, -1);
  EXPECT_EQ(a.Var("k")->IsArgument, true);
}

TEST(Declarations, TheSameNameInTwoUnitsIsTwoVariables) {
  TAnalysed a("      program p\n      x = 1\n      end\n      subroutine s\n      x = 2\n      end\n");
  ASSERT_NE(a.Var("x", 0), nullptr);
  ASSERT_NE(a.Var("x", 1), nullptr);
  EXPECT_NE(a.Var("x", 0), a.Var("x", 1));
}

TEST(Declarations, MainProgramWithoutProgramStatementEndsItsUnit) {
  TAnalysed a("      x = 1\n      end\n      subroutine s\n      x = 2\n      end\n"
              "      function f(y)\n      x = y\n      end\n");
  EXPECT_NE(a.Var("x", 1), nullptr);
  EXPECT_NE(a.Var("x", 2), nullptr);
  EXPECT_TRUE(a.Var("f", 2)->IsArgument);
  EXPECT_TRUE(a.Var("y", 2)->IsArgument);
}

TEST(Declarations, TypedFunctionHeaderOpensAUnit) {
  TAnalysed a("      real*8 function g(x)\n      g = x\n      end\n      subroutine s\n"
              "      z = 1\n      end\n");
  EXPECT_TRUE(a.Var("x", 0)->IsArgument);
  EXPECT_EQ(a.Var("g", 0)->Type, ValType::Real);
  EXPECT_NE(a.Var("z", 1), nullptr);
}

TEST(Declarations, ImplicitRulesEndWithTheirUnit) {
  TAnalysed a("      subroutine s\n      implicit real*8 (a-h,o-z)\n      x = 1\n      end\n"
              "      subroutine t\n      x = 1\n      i = 2\n      end\n");
  EXPECT_EQ(a.Var("x", 0)->ImplicitType, "real*8");
  EXPECT_EQ(a.Var("x", 1)->ImplicitType, "");
  EXPECT_EQ(a.Var("i", 1)->Type, ValType::Int);
}

struct TErrorCase {
  const char* Source;
  const char* Statement;
};

TEST(Declarations, ReportsAStatementWithoutItsAssign) {
  const TErrorCase cases[] = {
      {"      x + 1\n", "x+1"},
      {"      DO 10 I = 1, N\n   10 CONTINUE\n", "DO10I=1,N"},
      {"      A%B = 1\n", "A%B=1"},
  };
  for (const TErrorCase& c : cases) {
    TAnalysed a(c.Source);
    ASSERT_EQ(a.Reporter.Lines.size(), 1u) << c.Source;
    EXPECT_EQ(a.Reporter.Lines[0], "error: **** " + platform::Sjis("式に'='がありません。") +
                                       " **** [ " + c.Statement + " ]");
  }
}

TEST(Declarations, StatementsThatAreNoAssignments) {
  TAnalysed a(
      "      recursive subroutine r(n)\n      integer n\n      forall (i = 1:n) v(i) = 0\n"
      "      endwhere\n      elsewhere\n      do concurrent (j = 1:n)\n      enddo\n"
      "      selectcase (n)\n      endselect\n      type = 1\n      data(1) = 2\n"
      "      end subroutine r\n");
  EXPECT_EQ(a.Reporter.Errors, 0);
  EXPECT_TRUE(a.Var("n")->IsArgument);
  EXPECT_NE(a.Var("type"), nullptr);
  EXPECT_EQ(a.List[a.List.size() - 2]->Unit, 0);
}

TEST(Declarations, BadInputNeverCrashes) {
  const std::string cases[] = {
      "      x = " + std::string(50000, '(') + "1" + std::string(50000, ')') + "\n",
      "      x = ((((a + b\n      y = a + b)))))\n",
      "      x = + - * / ** .and.\n",
      "      real a(" + std::string(20000, '(') + "\n",
      "      parameter (n = 1e300 ** 2, m = -n, k = n / 0, j = 0/0)\n      real a(n:m, k)\n",
      "      real a(1:2:3:4, , *, :, 200*)\n",
      "      implicit real*8 (\n      implicit (a-)\n      implicit integer (-z, 9-9)\n",
      "      read (\n      read *, (((\n      write(6,*) ((a(i), i=1,\n",
      "      if (\n      if (x) if (y) if (z) w = 1\n      where\n      call\n      do\n",
  };
  for (const std::string& source : cases) {
    TAnalysed a(source);
    for (const auto& v : a.Vars) {
      EXPECT_EQ(static_cast<size_t>(v->DimCount), v->Extents.size());
    }
  }
}

}  // namespace

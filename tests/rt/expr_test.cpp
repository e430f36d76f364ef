// The expression compiler: literals, operators and their xBase meaning,
// fields, functions, the block form, and errors for bad text and bad types.
#include <gtest/gtest.h>

#include "data_support.h"
#include "rt/expr.h"
#include "rt/set.h"
#include "rt/strings.h"
#include "rt/workarea.h"

using namespace nx;
using nxtest::RaisedBy;

namespace {
Value Evaluate(std::string_view text) { return Compile(text).Eval(); }
}  // namespace

TEST(Expr, LiteralsAndArithmetic) {
  EXPECT_EQ(Evaluate("1 + 2 * 3").AsInt(), 7);
  EXPECT_EQ(Evaluate("(1 + 2) * 3").AsInt(), 9);
  EXPECT_EQ(Evaluate("2 ** 3 ** 2").AsNumber(), 64);  // left to right, as the runtime does
  EXPECT_EQ(Evaluate("-2 ^ 2").AsNumber(), 4);
  EXPECT_EQ(Evaluate("7 % 3").AsInt(), 1);
  EXPECT_DOUBLE_EQ(Evaluate("7 / 2").AsNumber(), 3.5);
  EXPECT_TRUE(Evaluate("6 / 3").IsInteger());
  EXPECT_EQ(Evaluate(".5 + 1.25").Decimals(), 2);
  EXPECT_EQ(Evaluate("9223372036854775807 + 1").AsNumber(), 9223372036854775808.0);  // overflow goes floating
  EXPECT_EQ(Evaluate("'ab' + \"cd\" + [ef]").AsString(), "abcdef");
  EXPECT_EQ(Evaluate("'ab  ' - 'cd'").AsString(), "abcd  ");
  EXPECT_TRUE(Evaluate(".t.").AsLogical());
  EXPECT_FALSE(Evaluate(".N.").AsLogical());
  EXPECT_TRUE(Evaluate("NIL").IsNil());
  EXPECT_EQ(Evaluate("CToD('12/31/1999') + 1").AsDate(), MakeDate(2000, 1, 1));
  EXPECT_EQ(Evaluate("CToD('03/01/2024') - CToD('02/01/2024')").AsInt(), 29);
  EXPECT_EQ(Evaluate("1, 2, 'last'").AsString(), "last");
}

TEST(Expr, ComparisonsFollowSetExact) {
  EXPECT_TRUE(Evaluate("'Smith' = 'Sm'").AsLogical());  // left compared only as far as the right reaches
  EXPECT_FALSE(Evaluate("'Sm' = 'Smith'").AsLogical());
  EXPECT_TRUE(Evaluate("'abc' = ''").AsLogical());
  EXPECT_FALSE(Evaluate("'Smith' == 'Sm'").AsLogical());
  EXPECT_FALSE(Evaluate("'a ' == 'a'").AsLogical());
  EXPECT_TRUE(Evaluate("'Smith' != 'Jones' .and. 'a' <> 'b' .and. 'a' # 'b'").AsLogical());
  EXPECT_TRUE(Evaluate("'Carl' <= 'C'").AsLogical());
  EXPECT_FALSE(Evaluate("'Dan' <= 'C'").AsLogical());
  Value old = Set(_SET_EXACT, true);
  EXPECT_FALSE(Evaluate("'Smith' = 'Sm'").AsLogical());
  EXPECT_TRUE(Evaluate("'a  ' = 'a'").AsLogical());  // trailing blanks do not count
  EXPECT_FALSE(Evaluate("'Carl' <= 'C'").AsLogical());
  Set(_SET_EXACT, old);
  EXPECT_TRUE(Evaluate("'bc' $ 'abcd'").AsLogical());
  EXPECT_FALSE(Evaluate("'x' $ 'abcd'").AsLogical());
  EXPECT_TRUE(Evaluate("2 < 10 .and. 10 >= 10 .and. 3 > 2.5").AsLogical());
  EXPECT_TRUE(Evaluate("CToD('01/02/2000') > CToD('01/01/2000')").AsLogical());
  EXPECT_TRUE(Evaluate(".F. < .T.").AsLogical());
  EXPECT_TRUE(Evaluate("NIL == NIL").AsLogical());
  EXPECT_FALSE(Evaluate("NIL = 1").AsLogical());
}

TEST(Expr, LogicalOperatorsShortCircuit) {
  EXPECT_TRUE(Evaluate(".not. .F.").AsLogical());
  EXPECT_TRUE(Evaluate("!.F. .and. !(1 > 2)").AsLogical());
  EXPECT_TRUE(Evaluate(".T. .or. .F. .and. .F.").AsLogical());  // .and. binds tighter
  // The right side is not run when the left decides: no type error here.
  EXPECT_FALSE(Evaluate(".F. .and. 1").AsLogical());
  EXPECT_TRUE(Evaluate(".T. .or. 'x'").AsLogical());
  EXPECT_EQ(Evaluate("IIf(1 > 2, 1 / 0, 'no')").AsString(), "no");
}

TEST(Expr, Functions) {
  EXPECT_EQ(Evaluate("Upper('abc') + Lower('DEF')").AsString(), "ABCdef");
  EXPECT_EQ(Evaluate("Str(3.14159, 6, 2)").AsString(), "  3.14");
  EXPECT_EQ(Evaluate("Str(42)").AsString(), "        42");
  EXPECT_EQ(Evaluate("Val('12.50') * 2").AsNumber(), 25);
  EXPECT_EQ(Evaluate("SubStr('abcdef', 2, 3) + Left('xyz', 1) + Right('xyz', 1)").AsString(), "bcdxz");
  EXPECT_EQ(Evaluate("Trim('a  ') + AllTrim('  b  ') + '|'").AsString(), "ab|");
  EXPECT_EQ(Evaluate("Len('abcd')").AsInt(), 4);
  EXPECT_TRUE(Evaluate("Empty('   ') .and. Empty(0) .and. !Empty('x')").AsLogical());
  EXPECT_EQ(Evaluate("DToS(CToD('02/29/2024'))").AsString(), "20240229");
  EXPECT_EQ(Evaluate("DToC(CToD('02/29/2024'))").AsString(), "02/29/24");
  EXPECT_EQ(Evaluate("Date()").AsDate(), Today());
  EXPECT_EQ(Evaluate("IIf(.T., 'a', 'b')").AsString(), "a");
  EXPECT_EQ(Evaluate("Transform(1234.5, '9,999.99')").AsString(), "1,234.50");
  RegisterFunction("TWICE", "N", [](std::span<const Value> a) { return Value(a[0].AsInt() * 2); });
  EXPECT_TRUE(IsFunction("twice"));
  EXPECT_EQ(Evaluate("twice(21)").AsInt(), 42);
}

TEST(Expr, BlockFormWithParameters) {
  Block b = Compile("{|a, b| a * 10 + b}");
  EXPECT_EQ(b.text, "{|a, b| a * 10 + b}");
  EXPECT_EQ(b.Eval({4, 2}).AsInt(), 42);
  EXPECT_EQ(Compile("{|| 'x' }").Eval().AsString(), "x");
  EXPECT_TRUE(Compile("{|x| x}").Eval().IsNil());  // a missing argument is NIL
}

TEST(Expr, FieldsOfTheSelectedArea) {
  nxtest::ScratchDir dir;
  ASSERT_TRUE(DbCreate(dir.Path("t.dbf"), Value(NewArray({Value(NewArray({"NAME", "C", 8, 0})), Value(NewArray({"BORN", "D", 8, 0}))}))));
  ASSERT_TRUE(DbUseArea(true, "", dir.Path("t.dbf"), "T", false));
  DbAppend();
  FieldPut(1, "Bea");
  FieldPut(2, MakeDate(2001, 5, 6));
  Block range = Compile("{||NAME>= 'A' .and.NAME<= 'C' }");
  EXPECT_TRUE(range.Eval().AsLogical());
  EXPECT_TRUE(Compile("BORN >= CToD('01/01/2000') .and. Born < CToD( '01/01/2002' )").Eval().AsLogical());
  EXPECT_EQ(Compile("FIELD->name").Eval().AsString(), "Bea     ");
  EXPECT_EQ(Compile("RecNo() + 1").Eval().AsInt(), 2);
  EXPECT_FALSE(Compile("Deleted()").Eval().AsLogical());
  // An unknown name fails when the block runs, not when it compiles.
  Block unknown = Compile("NOSUCH + 1");
  ASSERT_TRUE(unknown);
  auto e = RaisedBy([&] { unknown.Eval(); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->GenCode, EG_NOVAR);
  EXPECT_EQ(e->Operation, "NOSUCH");
}

TEST(Expr, AssignmentAndMemoryVariables) {
  nxtest::ScratchDir dir;
  nxtest::AreasClosed closed;
  ASSERT_TRUE(DbCreate(dir.Path("t.dbf"), Value(NewArray({Value(NewArray({"NAME", "C", 8, 0}))}))));
  ASSERT_TRUE(DbUseArea(true, "", dir.Path("t.dbf"), "T", false));
  DbAppend();
  // A set/get block over a field, as generated code writes them.
  Block name = Compile("{|u| iif(u == NIL, NAME, NAME := u)}");
  EXPECT_EQ(name.Eval({Value("Cleo")}).AsString(), "Cleo");
  EXPECT_EQ(Trim(FieldGet(1).AsString()), "Cleo");
  EXPECT_EQ(Trim(name.Eval().AsString()), "Cleo");
  EXPECT_EQ(Compile("T->NAME := 'Dee'").Eval().AsString(), "Dee");
  EXPECT_EQ(Trim(FieldGet(1).AsString()), "Dee");
  // A name that is no field is a memory variable; assigning creates it.
  EXPECT_FALSE(MemVarExists("nTotal"));
  EXPECT_EQ(Compile("nTotal := nCount := 2, nTotal := nTotal + nCount * 10").Eval().AsInt(), 22);
  EXPECT_EQ(MemVarGet("NTOTAL").AsInt(), 22);
  EXPECT_EQ(Compile("M->nCount").Eval().AsInt(), 2);
  {
    PrivateScope scope;
    scope.Declare("nCount", 7);
    scope.Declare("cNew", "x");
    EXPECT_EQ(Compile("{|| nCount * 2 }").Eval().AsInt(), 14);
    Compile("{|| cNew := cNew + 'y' }").Eval();
    EXPECT_EQ(MemVarGet("cNew").AsString(), "xy");
  }
  EXPECT_EQ(MemVarGet("nCount").AsInt(), 2);
  EXPECT_FALSE(MemVarExists("cNew"));
  // Parameters assign locally and never leak out of the call.
  Block twice = Compile("{|n| n := n * 2, n + 1}");
  Value arg(5);
  EXPECT_EQ(twice.Eval({arg}).AsInt(), 11);
  EXPECT_EQ(arg.AsInt(), 5);
  // FIELD-> never creates a variable; a non-variable cannot be assigned.
  auto e = RaisedBy([] { Compile("FIELD->NOSUCH := 1").Eval(); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->GenCode, EG_NOVAR);
  EXPECT_FALSE(MemVarExists("NOSUCH"));
  e = RaisedBy([] { Compile("1 := 2"); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->GenCode, EG_SYNTAX);
  MemVarRelease("nTotal");
  MemVarRelease("nCount");
  EXPECT_TRUE(MemVarGet("nTotal").IsNil());
}

TEST(Expr, SyntaxErrorsNameTheText) {
  const char* bad[] = {"1 +", "(1", "'open", "1 2", "{|| 1", "{|a b| a}", "Foo(1)", "IIf(.T., 1)", ".X.", "1 ? 2",
                       "", ")", "a->", "{|1| 1}"};
  for (const char* text : bad) {
    SCOPED_TRACE(text);
    auto e = RaisedBy([&] { Compile(text); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->GenCode, EG_SYNTAX);
    EXPECT_EQ(e->Operation, text);
    EXPECT_EQ(e->Description.rfind("Syntax error: ", 0), 0u) << e->Description;
  }
  auto e = RaisedBy([] { Compile("Foo(1)"); });
  EXPECT_NE(e->Description.find("FOO"), std::string::npos);
  // Deep nesting is refused, not a stack overflow.
  std::string deep = std::string(5000, '(') + "1" + std::string(5000, ')');
  e = RaisedBy([&] { Compile(deep); });
  ASSERT_TRUE(e);
  std::string chain = "1";
  for (int i = 0; i < 5000; ++i) chain += "+1";
  e = RaisedBy([&] { Compile(chain); });
  ASSERT_TRUE(e);
  // With an error block that answers, Compile gives an empty block.
  ErrorHandler old = ErrorBlock([](const ErrorPtr&) { return Value(false); });
  EXPECT_FALSE(Compile("1 +"));
  ErrorBlock(old);
}

TEST(Expr, TypeErrorsRaiseWhenRun) {
  struct Case {
    const char* text;
    int genCode;
    const char* operation;
  } cases[] = {{"1 + 'a'", EG_ARG, "+"},   {"'a' * 2", EG_ARG, "*"},     {"1 / 0", EG_ZERODIV, "/"},
               {"5 % 0", EG_ZERODIV, "%"}, {"1 .and. .T.", EG_ARG, ".AND."}, {"!1", EG_ARG, ".NOT."},
               {"1 < 'a'", EG_ARG, "<"},   {"Upper(1)", EG_ARG, "UPPER"}, {"SubStr('a')", EG_ARG, "SUBSTR"},
               {"IIf(1, 2, 3)", EG_ARG, "IIF"}, {"Len(3)", EG_ARG, "LEN"}, {"-'a'", EG_ARG, "-"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Block b = Compile(c.text);
    ASSERT_TRUE(b);
    auto e = RaisedBy([&] { b.Eval(); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->GenCode, c.genCode);
    EXPECT_EQ(e->Operation, c.operation);
  }
  // The error block's answer substitutes the result.
  ErrorHandler old = ErrorBlock([](const ErrorPtr&) { return Value(0); });
  EXPECT_EQ(Evaluate("10 / 0 + 5").AsInt(), 5);
  ErrorBlock(old);
}

// Values, arrays, blocks, errors and the standard functions.
#include <gtest/gtest.h>

#include "rt/error.h"
#include "rt/frames.h"
#include "rt/strings.h"
#include "rt/value.h"

using namespace nx;

TEST(Value, TypesAndLetters) {
  EXPECT_EQ(Value().ValType(), 'U');
  EXPECT_EQ(Value(true).ValType(), 'L');
  EXPECT_EQ(Value(3).ValType(), 'N');
  EXPECT_EQ(Value(3.5).ValType(), 'N');
  EXPECT_EQ(Value("x").ValType(), 'C');
  EXPECT_EQ(Value(MakeDate(2026, 12, 8)).ValType(), 'D');
  EXPECT_EQ(Value(NewArray()).ValType(), 'A');
  EXPECT_EQ(Value(MakeBlock([](auto) { return Value(); })).ValType(), 'B');
  // A wrong-type read answers the empty value instead of failing.
  EXPECT_EQ(Value("12").AsNumber(), 0);
  EXPECT_EQ(Value(12).AsString(), "");
  EXPECT_EQ(Value(1e300).AsInt(), INT64_MAX);
}

TEST(Value, EqualityIsExactAndArraysShare) {
  EXPECT_TRUE(Value(2) == Value(2.0));
  EXPECT_FALSE(Value("ab") == Value("abc"));
  EXPECT_FALSE(Value(0) == Value(false));
  auto a = NewArray({1, 2});
  Value v1(a), v2 = v1;
  AAdd(v2.AsArray(), 3);
  EXPECT_EQ(Len(v1), 3u);  // reference semantics
  EXPECT_TRUE(v1 == v2);
  EXPECT_FALSE(Value(AClone(a)) == v1);
}

TEST(Array, OneBasedHelpers) {
  auto a = NewArray({"a", "b", "c"});
  EXPECT_EQ(AScan(a, Value("b")), 2u);
  EXPECT_EQ(AScan(a, Value("z")), 0u);
  EXPECT_EQ(AScan(a, Value("a"), 2), 0u);
  EXPECT_EQ(AScan(a, [](const Value& v) { return v.AsString() == "c"; }), 3u);
  EXPECT_TRUE(AGet(a, 0).IsNil());
  EXPECT_TRUE(AGet(a, 4).IsNil());
  AIns(a, 1);
  EXPECT_TRUE(AGet(a, 1).IsNil());
  EXPECT_EQ(AGet(a, 3).AsString(), "b");
  EXPECT_EQ(Len(a), 3u);
  ADel(a, 1);
  EXPECT_EQ(AGet(a, 1).AsString(), "a");
  EXPECT_TRUE(AGet(a, 3).IsNil());
  // AEval survives a block that grows the array under it.
  int seen = 0;
  AEval(a, [&](const Value&, size_t) {
    if (++seen < 10) AAdd(a, 0);
  });
  EXPECT_EQ(seen, 12);  // 3 elements plus the 9 the block appended
}

TEST(Block, EvaluatesWithArguments) {
  Block b = MakeBlock([](std::span<const Value> args) { return Value(args.size() == 2 ? args[0].AsInt() + args[1].AsInt() : -1); });
  EXPECT_EQ(b.Eval({2, 3}).AsInt(), 5);
  EXPECT_EQ(Value(b).Eval({}).AsInt(), -1);
  EXPECT_TRUE(Value(5).Eval({}).IsNil());
}

TEST(Strings, StrAndStrZero) {
  EXPECT_EQ(Str(Value(5)), "         5");
  EXPECT_EQ(Str(Value(-3), 4), "  -3");
  EXPECT_EQ(Str(Value(12345), 3), "***");
  EXPECT_EQ(Str(Value(3.14159), 6, 2), "  3.14");
  EXPECT_EQ(Str(Value(-0.001), 6, 2), "  0.00");
  EXPECT_EQ(StrZero(Value(7), 4), "0007");
  EXPECT_EQ(StrZero(Value(-7), 4), "-007");
  EXPECT_EQ(StrZero(Value(1000), 4), "1000");
  EXPECT_EQ(AllTrim(Str(Value(1.5, 1))), "1.5");
}

TEST(Strings, ValParsesLeadingNumber) {
  EXPECT_EQ(Val("  42abc").AsInt(), 42);
  EXPECT_TRUE(Val("42").IsInteger());
  EXPECT_DOUBLE_EQ(Val("-12.50").AsNumber(), -12.5);
  EXPECT_EQ(Val("-12.50").Decimals(), 2);
  EXPECT_EQ(Val("abc").AsInt(), 0);
  EXPECT_EQ(Val("").AsInt(), 0);
  EXPECT_EQ(Val(".").AsInt(), 0);
}

TEST(Strings, SubstringFunctions) {
  EXPECT_EQ(SubStr("Novaxis", 3, 2), "va");
  EXPECT_EQ(SubStr("Novaxis", -3), "xis");
  EXPECT_EQ(SubStr("Novaxis", 20), "");
  EXPECT_EQ(Left("abc", 5), "abc");
  EXPECT_EQ(Right("abc", 2), "bc");
  EXPECT_EQ(PadR("ab", 4, '.'), "ab..");
  EXPECT_EQ(PadL("ab", 4), "  ab");
  EXPECT_EQ(PadC("ab", 5), " ab  ");
  EXPECT_EQ(AllTrim("  a b  "), "a b");
  EXPECT_EQ(StrTran("a-b-c", "-", "--"), "a--b--c");
  EXPECT_EQ(At("b", "abc"), 2u);
  EXPECT_TRUE(Empty(Value("   ")));
  EXPECT_FALSE(Empty(Value(" x ")));
}

TEST(Strings, HotKeyMarksOfPrompts) {
  EXPECT_EQ(HotKeyOf("R&&D &Notes"), 'N');
  EXPECT_EQ(HotKeyOf("&&Plain&"), 0);
  EXPECT_EQ(WithoutHotMark("R&&D &Notes&"), "R&D Notes&");
}

TEST(Strings, ValueToChar) {
  EXPECT_EQ(cValToChar(Value()), "");
  EXPECT_EQ(cValToChar(Value(true)), ".T.");
  EXPECT_EQ(cValToChar(Value(false)), ".F.");
  EXPECT_EQ(cValToChar(Value(42)), "42");
  EXPECT_EQ(cValToChar(Value("s")), "s");
  EXPECT_EQ(cValToChar(Value(NewArray({Value(1)}))), "{ ... }");
  EXPECT_EQ(cValToChar(Value(MakeBlock([](auto) { return Value(); }))), "{|| ... }");
  EXPECT_EQ(cValToChar(Value(ErrorNew())), "ERROR");
}

TEST(Dates, RoundTripsAndFormats) {
  Date d = MakeDate(2026, 12, 8);
  EXPECT_EQ(Year(d), 2026);
  EXPECT_EQ(Month(d), 12);
  EXPECT_EQ(Day(d), 8);
  EXPECT_EQ(DoW(d), 3);  // a Tuesday
  EXPECT_EQ(DToS(d), "20261208");
  EXPECT_EQ(SToD("20261208"), d);
  EXPECT_EQ(DToC(d), "12/08/26");
  EXPECT_EQ(CToD("12/08/2026"), d);
  EXPECT_EQ(CToD("02/30/26"), Date{});  // no such day
  EXPECT_TRUE(MakeDate(2024, 2, 29).julian != 0);
  EXPECT_TRUE(MakeDate(2100, 2, 29).Empty());
  EXPECT_EQ(DToC(Date{}), "  /  /  ");
  std::string old = SetDateFormat("dd.mm.yyyy");
  EXPECT_EQ(DToC(d), "08.12.2026");
  EXPECT_EQ(CToD("08.12.2026"), d);
  SetDateFormat(old);
  EXPECT_EQ(MakeDate(2000, 3, 1).julian - MakeDate(2000, 2, 28).julian, 2);
}

TEST(Errors, BlockSequenceAndRetry) {
  auto e = ErrorNew("BASE", EG_ZERODIV, 1340, "Zero divisor", "/");
  // Without a block an error is a C++ exception.
  ErrorHandler old = ErrorBlock(nullptr);
  EXPECT_THROW(RaiseError(e), RuntimeError);

  ErrorBlock([](const ErrorPtr& err) -> Value { Break(Value(err)); });
  Value caught;
  bool completed = Sequence([&] { RaiseError(e); }, [&](const Value& v) { caught = v; });
  EXPECT_FALSE(completed);
  EXPECT_EQ(caught.As<Error>(), e);

  // A retryable error is retried while the block answers true.
  int attempts = 0;
  ErrorBlock([](const ErrorPtr& err) -> Value { return Value(err->Tries < 3); });
  e->CanRetry = true;
  Value r = RaiseWithRetry(e, [&]() -> std::optional<Value> {
    ++attempts;
    return std::nullopt;
  });
  EXPECT_EQ(attempts, 3);
  EXPECT_EQ(e->Tries, 3);
  EXPECT_FALSE(r.AsLogical());
  ErrorBlock(old);

  bool before = NetErr(true);
  EXPECT_TRUE(NetErr());
  NetErr(before);

  // A read past an array's end is a bound error, neither retryable nor
  // defaultable; the block's answer stands for the element.
  ArrayPtr a = NewArray({Value(1)});
  std::vector<ErrorPtr> seen;
  ErrorBlock([&](const ErrorPtr& err) -> Value {
    seen.push_back(err);
    return Value("substitute");
  });
  EXPECT_EQ(AElem(a, 1), Value(1));
  EXPECT_EQ(AElem(a, 2), Value("substitute"));
  EXPECT_EQ(AElem(a, 0), Value("substitute"));
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0]->SubCode, 1132);
  EXPECT_EQ(seen[0]->GenCode, EG_BOUND);
  EXPECT_FALSE(seen[0]->CanRetry || seen[0]->CanDefault);
  EXPECT_EQ(seen[1]->Args.AsArray()->at(1), Value(int64_t(0)));
  ErrorBlock(old);
}

TEST(Frames, VariablesOfAFrameAreReadWhenAsked) {
  NX_PROC("OUTER");
  Value param("p"), local(int64_t(1));
  {
    NX_PROC("INNER");
    FrameVars vars({&param}, {&local});
    local = Value(int64_t(2));
    EXPECT_EQ(ParamCount(0), 1);
    EXPECT_EQ(LocalCount(0), 1);
    EXPECT_EQ(GetParam(0, 1), Value("p"));
    EXPECT_EQ(GetLocal(0, 1), Value(int64_t(2)));
    EXPECT_EQ(GetLocal(0, 2), Value());
    EXPECT_EQ(ParamCount(1), 0);
  }
  EXPECT_EQ(ParamCount(0), 0);
}

static void Inner() {
  NX_PROC("INNER");
  EXPECT_EQ(ProcName(0), "INNER");
  EXPECT_EQ(ProcName(1), "TWINDOW:PAINT");
  EXPECT_EQ(ProcFile(0), "core_test.cpp");
  EXPECT_GT(ProcLine(0), 0);
}

TEST(Frames, NestedScopes) {
  int depth = FrameDepth();
  {
    NX_METHOD("TWINDOW", "PAINT");
    Inner();
    EXPECT_EQ(FrameDepth(), depth + 1);
  }
  EXPECT_EQ(FrameDepth(), depth);
  EXPECT_EQ(ProcName(depth + 5), "");
}

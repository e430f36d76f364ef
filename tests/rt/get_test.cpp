// The Get edit buffer: pictures, numeric entry, dates, caret and focus.
#include <gtest/gtest.h>

#include "rt/get.h"
#include "rt/set.h"
#include "rt/strings.h"

using namespace nx;

namespace {

// Characters are typed; "~x" is an editing key.
void Type(Get& g, std::string_view keys) {
  for (size_t i = 0; i < keys.size(); ++i) {
    int k = static_cast<unsigned char>(keys[i]);
    if (k == '~' && i + 1 < keys.size()) {
      switch (keys[++i]) {
        case 'h': k = K_HOME; break;
        case 'e': k = K_END; break;
        case 'l': k = K_LEFT; break;
        case 'r': k = K_RIGHT; break;
        case 'w': k = K_CTRL_LEFT; break;
        case 'W': k = K_CTRL_RIGHT; break;
        case 'd': k = K_DEL; break;
        case 'b': k = K_BS; break;
        case 'y': k = K_CTRL_Y; break;
        case 'u': k = K_CTRL_U; break;
        case 'i': k = K_INS; break;
      }
    }
    EXPECT_TRUE(g.ApplyKey(k));
  }
}

class GetTest : public testing::Test {
 protected:
  void SetUp() override { format_ = SetDateFormat("mm/dd/yy"); }
  void TearDown() override {
    SetDateFormat(format_);
    Set(_SET_INSERT, false);
  }
  std::string format_;
};

struct Case {
  const char* picture;
  Value start;
  const char* keys;
  const char* buffer;
  int pos;
  Value assigned;
  const char* dateFormat = "mm/dd/yy";
};

}  // namespace

TEST_F(GetTest, PictureKeysBufferCaretAndValue) {
  const Case cases[] = {
      {"@!", "abc  ", "xy", "XYC  ", 3, "XYC  "},
      {"@R 999-9999", "       ", "5551234", "555-1234", 8, "5551234"},
      {"999-9999", "5551234", "12", "125-234 ", 3, "125-234 "},  // without @R the literal is kept
      {"@R (999) 999-9999", Space(10), "5551234567", "(555) 123-4567", 14, "5551234567"},
      {"@K", "old text", "new", "new     ", 4, "new     "},
      {"@K", "old text", "~rX", "oXd text", 3, "oXd text"},  // a cursor key first keeps the text
      {"AN9#", "    ", "1a!b2 x", "ab2 ", 4, "ab2 "},      // rejected: 1 on A, ! on N, x on #
      {"!!X", "abc", "de", "DEc", 3, "DEc"},
      {"@D", "12/31/24", "01", "01/31/24", 4, "01/31/24"},
      {"L", false, "y", "Y", 1, true},
      {"Y", true, "tn", "N", 1, false},
      // numbers: the first key clears, "." right-aligns and jumps, "-" before the digits
      {"999.99", 12.5, "3", "3  .  ", 2, 3.0},
      {"999.99", 12.5, "34.5", " 34.50", 6, 34.5},
      {"999.99", 12.5, ".25", "  0.25", 6, 0.25},
      {"999.99", 12.5, "~r9", " 92.50", 3, 92.5},
      {"999.99", 12.5, "~e~b", " 12.0 ", 5, 12.0},
      {"999.99", 0, "-5.5", " -5.50", 6, -5.5},
      {"999.99", 0, "-.5", " -0.50", 6, -0.5},
      {"####", 0, "-12", "-12 ", 4, -12},
      {"999", 0, "5-", "5  ", 2, 5},  // no sign after a digit
      {"999", 5, "a7", "7  ", 2, 7},  // a rejected key leaves the clear flag
      {"99.9", 0, "123", "12.3", 4, 12.3},
      {"@E 9,999.99", 1234.5, "5,5", "    5,50", 8, 5.5},
      {"@Z 999.99", 0, "", "   .  ", 1, 0},
      {"", 42, "7", "7         ", 2, 7},
      {"99", 123, "~r4", "*4", 2, 123},  // an overflowing number is never half-typed
      // dates by the date format
      {"", MakeDate(2024, 3, 9), "1231", "12/31/24", 7, MakeDate(2024, 12, 31)},
      {"", Date{}, "29022024", "29.02.2024", 10, MakeDate(2024, 2, 29), "dd.mm.yyyy"},
      {"", MakeDate(2024, 1, 31), "2025", "2025/01/31", 6, MakeDate(2025, 1, 31), "yyyy/mm/dd"},
      {"@E", MakeDate(2024, 3, 9), "10", "10/03/2024", 4, MakeDate(2024, 3, 10), "mm/dd/yyyy"},
      {"", MakeDate(2024, 3, 9), "0230", "02/30/24", 7, MakeDate(2024, 3, 9)},  // bad date: not assigned
      {"", MakeDate(2024, 3, 9), "0315", "03/15/24", 7, MakeDate(2024, 3, 15)},  // the century stays
      {"", MakeDate(2024, 3, 9), "031599", "03/15/99", 8, MakeDate(1999, 3, 15)},
      {"", MakeDate(2000, 1, 9), "0229", "02/29/00", 7, MakeDate(2000, 2, 29)},
      // caret, insert and deletion
      {"XXXXXX", "abcdef", "~i~rZ", "aZbcde", 3, "aZbcde"},
      {"@R 99-99", "1234", "~i5", "51-23", 2, "5123"},
      {"XXXXX", "abcde", "~r~r~d", "abde ", 3, "abde "},
      {"XXXXX", "abcde", "~e~b", "abce ", 4, "abce "},
      {"XXXXX", "abcde", "~r~r~y", "ab   ", 3, "ab   "},
      {"", "one two six", "~W~W~w~wX", "Xne two six", 2, "Xne two six"},
      {"XXX", "   ", "abcd", "abd", 3, "abd"},  // typing over the end stays on the last position
      {"XXX", "abc", "xy~u", "abc", 1, "abc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.picture) + " <" + cValToChar(c.start) + "> keys " + c.keys);
    SetDateFormat(c.dateFormat);
    Set(_SET_INSERT, false);
    Value var = c.start;
    Get g(SetGetOf(var), "var", c.picture);
    g.SetFocus();
    Type(g, c.keys);
    EXPECT_EQ(g.Buffer(), c.buffer);
    EXPECT_EQ(g.Pos(), c.pos);
    g.Assign();
    EXPECT_EQ(var.ValType(), c.assigned.ValType());
    EXPECT_TRUE(var == c.assigned) << cValToChar(var);
  }
}

TEST_F(GetTest, DisplayFormOutsideFocusAndEditForm) {
  struct Form {
    const char* picture;
    Value value;
    const char* shown;
    const char* edited;
  } forms[] = {
      {"@( 999", -5, " (5)", " -5"},          {"@X 999", -42, " 42 DB", "-42"},
      {"@C 999", 42, " 42 CR", " 42"},        {"@B 9999", 42, "42  ", "  42"},
      {"9,999", -234, " -234", "- 234"},      {"@E 9,999.99", 1234.5, "1.234,50", "1.234,50"},
      {"@R! (XXX)", "abc", "(ABC)", "(ABC)"}, {"", Date{}, "  /  /  ", "  /  /  "},
      {"@Y", true, "Y", "Y"},                 {"9.99", 0.125, "0.13", "0.13"},  // halves as Transform rounds them
  };
  for (const Form& f : forms) {
    SCOPED_TRACE(f.picture);
    Value var = f.value;
    Get g(SetGetOf(var), "var", f.picture);
    EXPECT_EQ(g.Buffer(), f.shown);
    g.SetFocus();
    EXPECT_EQ(g.Buffer(), f.edited);
    g.KillFocus();
    EXPECT_EQ(g.Buffer(), f.shown);
  }
}

TEST_F(GetTest, FocusUndoResetAndUpdate) {
  Value v = "abc";
  Get g(SetGetOf(v), "v", "@!");
  g.OverStrike('x').Home().DelEnd();  // no focus: no editing
  EXPECT_EQ(g.Buffer(), "ABC");
  g.SetFocus();
  EXPECT_TRUE(g.Original() == Value("abc"));
  g.Assign();  // nothing typed: the variable keeps its lower case
  EXPECT_TRUE(v == Value("abc"));
  g.OverStrike('x');
  EXPECT_TRUE(g.Changed());
  g.SetFocus();  // already focused: the edit survives
  EXPECT_EQ(g.Buffer(), "XBC");
  v = "zzz";
  g.UpdateBuffer();
  EXPECT_EQ(g.Buffer(), "ZZZ");
  EXPECT_EQ(g.Pos(), 2);
  g.Reset();
  EXPECT_EQ(g.Pos(), 1);
  EXPECT_FALSE(g.Changed());
  g.OverStrike('q').Assign();
  EXPECT_TRUE(v == Value("QZZ")) << v.AsString();
  g.Undo();
  EXPECT_TRUE(v == Value("abc"));
  EXPECT_EQ(g.Buffer(), "ABC");
  g.KillFocus();
  EXPECT_FALSE(g.HasFocus());
}

TEST_F(GetTest, EditsNeverLoseWhatThePictureDoesNotShow) {
  Value pi(3.14159, 5);
  Get n(SetGetOf(pi), "pi", "999.99");
  n.SetFocus();
  EXPECT_EQ(n.Buffer(), "  3.14");
  n.Home().End().Assign();  // moving is not editing
  EXPECT_EQ(pi.AsNumber(), 3.14159);

  Value s = "abcdefgh";
  Get t(SetGetOf(s), "s", "XXX");
  t.SetFocus();
  t.OverStrike('z').Assign();
  EXPECT_TRUE(s == Value("zbcdefgh"));

  Value d = MakeDate(2024, 3, 9);
  Get g(SetGetOf(d), "d");
  g.SetFocus();
  Type(g, "0230");
  EXPECT_TRUE(g.BadDate());
  g.Assign().Picture("@E");  // neither reaches the variable
  EXPECT_EQ(g.Buffer(), "09/03/24");
  EXPECT_TRUE(d == MakeDate(2024, 3, 9));
  g.Picture("");
  g.Home().DelEnd();
  EXPECT_FALSE(g.BadDate());  // blank is the empty date
  g.Assign();
  EXPECT_TRUE(d.AsDate().Empty());
}

TEST_F(GetTest, TypeOutRejectedBufferAndPicture) {
  Value n = 1234.5;
  Get g(SetGetOf(n), "n", "9,999.99");
  g.SetFocus();
  EXPECT_EQ(g.DecPos(), 6);
  g.Picture("9999.99");  // the grouping goes while editing
  EXPECT_EQ(g.Buffer(), "1234.50");
  g.OverStrike('x');
  EXPECT_TRUE(g.Rejected());
  Type(g, "7");
  EXPECT_FALSE(g.Rejected());
  EXPECT_EQ(g.Buffer(), "7   .  ");
  g.Left().Left();
  EXPECT_TRUE(g.TypeOut());
  g.Picture("9,999.99");
  EXPECT_EQ(g.Buffer(), "    7.00");
  g.End().Right();
  EXPECT_TRUE(g.TypeOut());
  g.Assign();
  EXPECT_TRUE(n == Value(7));
  g.Buffer("1234567890");  // the length and the literals hold
  EXPECT_EQ(g.Buffer(), "1 345.78");
  g.Buffer("12");
  EXPECT_EQ(g.Buffer(), "1    .  ");

  Value nil;
  Get u(SetGetOf(nil), "u", "XXX");
  u.SetFocus();
  EXPECT_EQ(u.Type(), 'U');
  u.Insert('a').Assign();
  EXPECT_TRUE(u.Rejected());
  EXPECT_TRUE(nil.IsNil());
  EXPECT_FALSE(u.ApplyKey(13));
  EXPECT_TRUE(u.ApplyKey(K_INS));
  EXPECT_TRUE(SetInsert());
}

TEST_F(GetTest, SelectionsAndControlTextKeepThePicture) {
  Value phone = "5551234567";
  Get p(SetGetOf(phone), "phone", "@R (999) 999-9999");
  p.SetFocus();
  p.DeleteRange(1, 5);  // "(555": the literal stays, the digits close up
  EXPECT_EQ(p.Buffer(), "(123) 456-7   ");
  EXPECT_EQ(p.Pos(), 2);
  p.Assign();
  EXPECT_TRUE(phone == Value("1234567   "));

  Value n = 1234.56;
  Get g(SetGetOf(n), "n", "9999.99");
  g.SetFocus();
  g.DeleteRange(2, 6);  // "234.5": each side of the point closes up on its own
  EXPECT_EQ(g.Buffer(), "1   .6 ");
  EXPECT_EQ(g.Pos(), 2);
  g.Assign();
  EXPECT_EQ(n.AsNumber(), 1.6);

  Value s = "1234";
  Get t(SetGetOf(s), "s", "@R! 99-XX");
  t.SetFocus();
  t.Buffer("5x-z7");  // what a pasted text holds passes the picture too
  EXPECT_EQ(t.Buffer(), "5 -Z7");
  t.DeleteRange(9, 3);
  EXPECT_EQ(t.Buffer(), "5 -Z7");

  Value big = 123;
  Get o(SetGetOf(big), "big", "99");
  o.SetFocus();
  o.Buffer(o.Buffer());  // the control's text back unchanged: no edit
  EXPECT_FALSE(o.Changed());
  o.Assign();
  EXPECT_TRUE(big == Value(123));

  Value d = MakeDate(2024, 3, 9);
  Get e(SetGetOf(d), "d", "@E");
  SetDateFormat("mm/dd/yyyy");
  EXPECT_EQ(e.DateFormat(), "dd/mm/yyyy");  // the part under the caret of a spinner
}

TEST_F(GetTest, FormSettings) {
  EXPECT_TRUE(Set(_SET_CONFIRM, "ON") == Value(false));
  EXPECT_TRUE(SetConfirm());
  EXPECT_TRUE(Set(_SET_BELL, true) == Value(false));
  EXPECT_TRUE(SetBell());
  Set(_SET_CONFIRM, " off");
  Set(_SET_BELL, false);
  EXPECT_FALSE(SetConfirm() || SetBell());
}

TEST_F(GetTest, BindsThroughACodeblock) {
  Value store = 5;
  Block b = MakeBlock([&](std::span<const Value> a) {
    if (!a.empty()) store = a[0];
    return store;
  });
  Get g(SetGetOf(b), "n", "99");
  g.SetFocus();
  EXPECT_TRUE(g.Original() == Value(5));
  Type(g, "42");
  EXPECT_TRUE(g.TypeOut());
  g.Assign();
  EXPECT_TRUE(store == Value(42));
}

// Get: the picture-driven edit buffer of text-mode forms, without a screen.
//
// A Get binds a variable through a set/get function and edits it in a
// fixed-width text buffer shaped by a picture ("@functions template"):
//
//   functions  !  upper-case every typed letter
//              R  template literals are shown but are not part of the value
//              E  European: numbers as 1.234,50, dates as dd/mm/yy(yy)
//              Z  zero shows as blanks      K  the first typed key clears the buffer
//              B  ( X C  left-justified, parenthesised, DB, CR: unfocused display only
//              D  a character value edited as a date      S<n>  ignored here
//   template   9 digits (and the sign of a number)   # digits, blanks, signs
//              A letters   N letters and digits   X anything   ! anything, upper-cased
//              L T/F/Y/N   Y Y/N   $ * digit positions of numbers
//              . decimal point and , grouping of numbers; any other character is
//              a literal the caret skips.
//
// Without a template a string edits over its own length, a number over the
// width Str() gives it and a date over the current date format (SetDateFormat).
//
// Life cycle. SetFocus() loads the buffer from the variable (the value is kept
// as Original) and puts the caret on the first editable position; editing
// methods then change only the buffer; Assign() writes the buffer's value back
// to the variable; KillFocus() leaves, and the buffer shows the variable as
// Transform() formats it with the whole picture. Editing methods do nothing
// without focus, and while the Get has focus the buffer length never changes:
// only SetFocus, UpdateBuffer, Reset, Undo and Picture() reload it.
//
// Driving it from an edit control. The control's window text is always
// Buffer(), so buffer position n is the control's character n - 1.
// - Focus in: SetFocus(), show Buffer(), caret before character Pos() - 1.
// - A typed character: delete a selection first (DeleteRange()); ApplyKey(c) inserts or types over by
//   SetInsert(); Rejected() asks for a beep when SetBell(); show Buffer(),
//   caret as on focus in, Assign() if every key should reach the variable.
//   TypeOut() after a character means the last position was filled: move on
//   to the next control unless SetConfirm().
// - Caret and deletion keys: ApplyKey() with the K_ codes, or Home, End,
//   Left, Right, WordLeft, WordRight, BackSpace, Delete, DelEnd; the caret
//   never rests on a literal. A mouse click puts the caret with Pos(n).
// - The control's own edits (paste, cut, undo): Buffer(window text) takes
//   them back without changing the length or the literals; then Assign().
// - Spinner steps: Assign(), step VarGet() (DecPos() and Pos() tell a
//   number's step, DateFormat() at Pos() the part of a date), VarPut() the
//   result, UpdateBuffer().
// - Focus out: with BadDate() keep the focus, beep and Pos(1); otherwise
//   Assign() (it writes only an edited buffer), KillFocus(), show Buffer().
// - Refresh from the variable: UpdateBuffer() (reloads, caret kept; without
//   focus the display form). A numeric picture may lose its "," grouping
//   while focused: Picture() keeps the typed value and re-forms the buffer.
//
// Numbers are typed from the left: the first key of a fresh field (the Clear
// flag) blanks the buffer, "." or "," jumps to the decimals and right-aligns
// what was typed, "-" before the digits makes the number negative.
//
// Sound behaviour where a plain edit buffer could lose data:
// - a buffer nobody edited answers exactly the value it was loaded from (a
//   picture narrower than the value, or a number shown as asterisks, never
//   rewrites the variable);
// - Assign() never writes an impossible date (BadDate) into the variable;
// - a string keeps the characters beyond what the picture covers;
// - insertion and deletion never move digits across the decimal point or
//   between the parts of a date.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "rt/value.h"

namespace nx {

// The runtime's key codes for the editing keys ApplyKey knows.
enum GetKey : int {
  K_HOME = 1,
  K_CTRL_RIGHT = 2,
  K_RIGHT = 4,
  K_END = 6,
  K_DEL = 7,
  K_BS = 8,
  K_LEFT = 19,
  K_CTRL_U = 21,  // undo
  K_INS = 22,
  K_CTRL_Y = 25,  // delete to the end
  K_CTRL_LEFT = 26,
};

// Set/get functions over a C++ variable (kept alive by the caller) or over a
// codeblock answering the variable without arguments and assigning it with one.
SetGet SetGetOf(Value& var);
SetGet SetGetOf(const Block& bSetGet);

class Get : public Object {
 public:
  explicit Get(SetGet bBlock, std::string cName = {}, std::string cPicture = {});
  const char* ClassName() const override { return "GET"; }

  // ---- the variable ------------------------------------------------------------
  Value VarGet() const;
  Value VarPut(const Value& v);  // answers v
  const std::string& Name() const { return name_; }
  // Writes the buffer's value to the variable (focused, valid date only).
  Get& Assign();
  // The buffer's value: a string, number, date or logical of the variable's type.
  Value UnTransform() const;

  // ---- focus -------------------------------------------------------------------
  Get& SetFocus();    // no-op while focused
  Get& KillFocus();
  bool HasFocus() const { return focus_; }
  Get& UpdateBuffer();  // reload from the variable, caret kept
  Get& Reset();         // reload from the variable, caret home, Changed off
  Get& Undo();          // the variable and the buffer back to Original

  // ---- state ---------------------------------------------------------------------
  const std::string& Buffer() const { return buf_; }
  // While focused, takes the editable positions from text (blank past its
  // end); the literals and the length stay, and a character its position
  // does not accept becomes a blank.
  Get& Buffer(std::string_view text);
  int Pos() const { return pos_; }
  // Caret to n (1-based, clamped), moved on to the nearest editable position.
  Get& Pos(int n);
  const Value& Original() const { return original_; }
  bool Changed() const { return changed_; }
  void Changed(bool b) { changed_ = b; }
  bool Clear() const { return clear_; }
  void Clear(bool b) { clear_ = b; }
  bool TypeOut() const { return typeOut_; }  // the last action ran into an end of the buffer
  bool Rejected() const { return rejected_; }  // the last typed character did not fit
  bool Minus() const;     // a number being edited carries a minus sign
  bool BadDate() const;   // a date buffer holding digits that make no date
  char Type() const { return type_; }  // C N D L, U for anything else
  int DecPos() const { return decPos_; }  // 1-based decimal point of a number, 0 none
  const std::string& Picture() const { return picture_; }
  Get& Picture(std::string cPicture);  // while focused the buffer keeps its value
  bool IsEditable(int n) const;
  // The date format the buffer of a date uses: the current one, or the
  // European form under @E.
  std::string DateFormat() const;
  int FirstEditable() const;  // 0 when nothing is editable
  int LastEditable() const;

  // ---- caret -----------------------------------------------------------------------
  Get& Home();
  Get& End();  // after the last non-blank character (or on the last position)
  Get& Left();
  Get& Right();
  Get& WordLeft();
  Get& WordRight();
  Get& ToDecPos();  // right-aligns the integer part, caret on the first decimal

  // ---- editing ---------------------------------------------------------------------
  Get& Insert(char c);
  Get& OverStrike(char c);
  Get& Delete();
  Get& BackSpace();
  Get& DelEnd();
  Get& DeleteAll();
  // Removes the editable characters of positions nFrom..nTo (a selection):
  // the rest of each run closes up (a date part, a number's integer or
  // decimal digits, all of a string), blanks fill its end; caret to nFrom.
  Get& DeleteRange(int nFrom, int nTo);

  // One key as a text-mode form reader applies it: the GetKey codes above,
  // K_INS toggling Set(_SET_INSERT), characters 32-255 typed by the insert
  // setting ("." and "," of a number jump to the decimals). Answers false for
  // keys it does not edit with (the caller's navigation keys).
  bool ApplyKey(int nKey);

 private:
  void Load(const Value& v);
  void ReadPicture();
  std::string DisplayForm(const Value& v) const;
  std::string NumberForm(const Value& v, bool minus, bool blank) const;
  Value NumberValue() const;
  char Slot(int n) const;  // upper-cased template character at n
  int NextEditable(int n) const;  // first editable > n, 0 none
  int PrevEditable(int n) const;  // last editable < n, 0 none
  void Group(int n, int& lo, int& hi) const;  // editable run that n shifts within
  void Put(std::string text);
  void PutChar(char c, bool insert);
  int Accept(char c, int n) const;  // the character to store at n, -1 rejected
  bool Has(char f) const { return funcs_.find(f) != std::string::npos; }

  SetGet block_;
  std::string name_, picture_;
  std::string funcs_, tmpl_;  // parsed picture: function letters, template
  std::string mask_;          // the template in force, one character per buffer position
  std::string buf_;
  Value original_, loaded_;
  char type_ = 'U';
  int pos_ = 1, decPos_ = 0;
  bool focus_ = false, changed_ = false, clear_ = false, typeOut_ = false, rejected_ = false;
  bool dirty_ = false;  // the buffer no longer shows exactly loaded_
};

}  // namespace nx

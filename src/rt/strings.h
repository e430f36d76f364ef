// Standard string, number and date functions of the runtime, with their
// usual xBase meaning.
#pragma once

#include <string>
#include <string_view>

#include "rt/value.h"

namespace nx {

// Numbers.
std::string Str(const Value& n);                       // default width, decimals of the value
std::string Str(const Value& n, int nLen, int nDec = -1);
std::string Str(double n, int nLen = -1, int nDec = -1);
std::string StrZero(const Value& n, int nLen = 10, int nDec = 0);
Value Val(std::string_view s);
int SetDecimals();                // SET DECIMALS (default 2)
int SetDecimals(int nDecimals);   // answers the previous value
// A number with nDec decimals (0 to 15), rounded half away from zero at
// fifteen significant digits; "-" only when the result is not zero. Str,
// Transform and numeric fields all round through it.
std::string FormatFixed(double n, int nDec);

// Strings.
std::string AllTrim(std::string_view s);
std::string Trim(std::string_view s);  // RTrim
std::string LTrim(std::string_view s);
std::string Upper(std::string_view s);
std::string Lower(std::string_view s);
std::string Left(std::string_view s, long n);
std::string Right(std::string_view s, long n);
std::string SubStr(std::string_view s, long nStart, long nCount = -1);  // nStart 1-based, negative from the end
std::string PadR(std::string_view s, long n, char fill = ' ');
std::string PadL(std::string_view s, long n, char fill = ' ');
std::string PadC(std::string_view s, long n, char fill = ' ');
std::string Replicate(std::string_view s, long n);
std::string Space(long n);
size_t At(std::string_view needle, std::string_view hay);  // 1-based, 0 when absent
std::string StrTran(std::string_view s, std::string_view from, std::string_view to);
bool Empty(const Value& v);
// Prompts of menus, tabs and controls: "&" marks the hot key, "&&" is a
// plain ampersand. HotKeyOf answers the marked character (0 for none),
// WithoutHotMark the prompt as shown.
char HotKeyOf(std::string_view prompt);
std::string WithoutHotMark(std::string_view prompt);

// Whole text files. MemoWrit replaces the file and answers false when it
// cannot write it all; MemoRead answers "" for a file it cannot read, and
// drops one end-of-file mark (Chr(26)) at the end.
bool MemoWrit(const std::string& file, std::string_view text);
std::string MemoRead(const std::string& file);

// The library's value-to-text conversion.
std::string cValToChar(const Value& v);

// Dates.
Date MakeDate(int year, int month, int day);  // empty date when invalid
void SplitDate(Date d, int& year, int& month, int& day);
int Year(Date d);
int Month(Date d);
int Day(Date d);
int DoW(Date d);  // 1 = Sunday
std::string DToC(Date d);
Date CToD(std::string_view s);  // a two-digit year is the first such year from SET EPOCH on
// SET EPOCH (default 1900); answers the previous value.
int SetEpoch();
int SetEpoch(int nYear);
std::string DToS(Date d);  // YYYYMMDD, blanks for an empty date
Date SToD(std::string_view s);
// SET DATE FORMAT ("mm/dd/yy" by default); answers the previous format.
std::string SetDateFormat();
std::string SetDateFormat(std::string format);
Date Today();  // the runtime's Date()
std::string Time();  // "hh:mm:ss"
double Seconds();    // since midnight, with hundredths

}  // namespace nx

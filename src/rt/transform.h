// Picture formatting: Transform( value, cPicture ).
//
// A picture is "@functions template", either part optional. Functions: !
// (upper case), R (template literals are inserted rather than replacing
// characters), Z (zero as blanks), E (European: 1.234,50 and dd/mm/yy),
// B (numbers left-justified), ( (negative numbers in parentheses), C / X (CR
// after positive / DB after negative numbers), D (dates in SET DATE format).
// Template: 9 # digits (numbers) or any character; . decimal point; ,
// thousands separator (shown only between digits); * $ digit positions that
// fill with * or $; ! upper case; A N X any character; L Y logicals as T/F,
// Y/N. Anything else is a literal. A number too wide for the template shows
// as asterisks.
#pragma once

#include <string>
#include <string_view>

#include "rt/value.h"

namespace nx {

std::string Transform(const Value& value, std::string_view picture);

}  // namespace nx

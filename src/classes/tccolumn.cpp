// TCColumn: construction, the shown text, alignment words and colour pairs.
#include "classes/tccolumn.h"

#include <algorithm>
#include <array>

#include "native/draw.h"
#include "rt/strings.h"
#include "rt/transform.h"

namespace nx {

namespace {

// A colour answer: a number is the colour; a colour pair gives its fore or
// back colour; anything else is none (the browse's colour is used).
COLORREF ToColor(const Value& v, bool fore) {
  if (v.IsNumber()) return COLORREF(v.AsNumber());
  if (v.IsString() && !AllTrim(v.AsString()).empty())
    return fore ? nGetForeRGB(v.AsString()) : nGetBackRGB(v.AsString());
  return CLR_INVALID;
}

bool Given(const Value& v) { return v.IsNumber() || (v.IsString() && !AllTrim(v.AsString()).empty()); }

// One side of a colour pair: letters, then "+" or "*" for the bright half.
COLORREF ColorOf(std::string spec) {
  spec = Upper(AllTrim(spec));
  bool bright = spec.find_first_of("+*") != std::string::npos;
  std::string letters;
  for (char c : spec)
    if (c != '+' && c != '*') letters += c;
  static constexpr std::array<std::pair<const char*, int>, 11> kLetters{{{"N", 0},
                                                                       {"B", 1},
                                                                       {"G", 2},
                                                                       {"BG", 3},
                                                                       {"GB", 3},
                                                                       {"R", 4},
                                                                       {"RB", 5},
                                                                       {"BR", 5},
                                                                       {"GR", 6},
                                                                       {"RG", 6},
                                                                       {"W", 7}}};
  int index = 0;  // unknown letters: black
  for (const auto& [name, n] : kLetters)
    if (letters == name) index = n;
  static constexpr std::array<COLORREF, 16> kRgb{
      RGB(0, 0, 0),       RGB(0, 0, 128),   RGB(0, 128, 0),   RGB(0, 128, 128),
      RGB(128, 0, 0),     RGB(128, 0, 128), RGB(128, 128, 0), RGB(192, 192, 192),
      RGB(128, 128, 128), RGB(0, 0, 255),   RGB(0, 255, 0),   RGB(0, 255, 255),
      RGB(255, 0, 0),     RGB(255, 0, 255), RGB(255, 255, 0), RGB(255, 255, 255)};
  return kRgb[size_t(index + (bright ? 8 : 0))];
}

}  // namespace

COLORREF nGetForeRGB(const std::string& cColorPair) {
  size_t slash = cColorPair.find('/');
  return ColorOf(cColorPair.substr(0, slash));
}

COLORREF nGetBackRGB(const std::string& cColorPair) {
  size_t slash = cColorPair.find('/');
  return slash == std::string::npos ? RGB(0, 0, 0) : ColorOf(cColorPair.substr(slash + 1));
}

int TCColumnAlign(const Value& cAlign) {
  if (cAlign.IsNumber()) {
    int n = cAlign.AsInt();
    return n >= 0 && n <= 2 ? n : 0;
  }
  if (!cAlign.IsString()) return 0;
  static constexpr std::array<const char*, 3> kWords{"LEFT", "CENTER", "RIGHT"};
  std::string text = Upper(AllTrim(cAlign.AsString()));
  // A word the text begins comes first: "R" is right, not the R of centre.
  for (size_t i = 0; i < kWords.size(); ++i)
    if (std::string_view(kWords[i]).starts_with(text)) return int(i);
  for (size_t i = 0; i < kWords.size(); ++i)
    if (std::string_view(kWords[i]).find(text) != std::string_view::npos) return int(i);
  return 0;
}

TCColumnPtr TCColumn::New(const TCColumnParams& p) {
  auto o = std::make_shared<TCColumn>();
  o->cHeading = p.cHeading;
  o->bData = p.bData ? p.bData : SetGet([](std::optional<Value>) { return Value(); });
  o->cPicture = p.cPicture;
  o->nAlign = TCColumnAlign(p.cAlign);
  o->lBitMap = p.lBitmap;
  o->lEdit = p.lEdit;
  o->cMsg = p.cMsg.empty() ? "Press Esc to cancel" : p.cMsg + ",   press Esc to cancel";
  o->bValid = p.bValid ? p.bValid : [](const Value&) { return true; };
  o->cError = p.cError;
  o->lNoLite = p.lNoLite;
  o->cOrder = p.cOrder;
  if (p.bClrFore) {
    auto fore = p.bClrFore;
    Value probe = fore(0, 0);
    if (probe.IsString() && !AllTrim(probe.AsString()).empty()) {
      // A colour pair gives both colours.
      o->bClrFore = [fore](int l, int c) { return ToColor(fore(l, c), true); };
      o->bClrBack = [fore](int l, int c) { return ToColor(fore(l, c), false); };
    } else if (Given(probe)) {
      o->bClrFore = [fore](int l, int c) { return ToColor(fore(l, c), true); };
    }
  }
  if (p.bClrBack && !o->bClrBack && Given(p.bClrBack(0, 0))) {
    auto back = p.bClrBack;
    o->bClrBack = [back](int l, int c) { return ToColor(back(l, c), false); };
  }
  if (p.nWidth) {
    // One unit is an eighth of the system font's average character width.
    o->nWidth = int(*p.nWidth * double(LOWORD(GETDLGBASEUNITS())) / 8.0);
  } else if (o->lBitMap) {
    o->nWidth = 16;
  } else {
    size_t letters = std::max(o->cHeading.size(), o->Text().size()) + 1;
    o->nWidth = int(0.67 * GETTEXTWIDTH(nullptr, std::string(letters, 'B')));
  }
  return o;
}

std::string TCColumn::Text() const {
  Value v = Get();
  return cPicture ? Transform(v, *cPicture) : cValToChar(v);
}

const std::vector<std::string>& TCColumn::aProperties() {
  static const std::vector<std::string> names{"cHeading", "cPicture", "nWidth"};
  return names;
}

const std::vector<std::string>& TCColumn::aEvents() {
  static const std::vector<std::string> names{"OnEdit"};
  return names;
}

}  // namespace nx

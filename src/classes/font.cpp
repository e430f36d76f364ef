#include "classes/font.h"

#include <algorithm>
#include <cmath>

#include "native/draw.h"
#include "rt/strings.h"

namespace nx {

namespace {

std::vector<std::shared_ptr<TFont>>& Fonts() {
  static std::vector<std::shared_ptr<TFont>> list;
  return list;
}

struct StockKey {
  const char* cKey;
  int nObject;
};
constexpr StockKey kStockFonts[] = {{"OEM_FIXED_FONT", OEM_FIXED_FONT}, {"ANSI_FIXED_FONT", ANSI_FIXED_FONT},
                                    {"ANSI_VAR_FONT", ANSI_VAR_FONT},   {"SYSTEM_FONT", SYSTEM_FONT},
                                    {"DEVICE_DEFAULT_FONT", DEVICE_DEFAULT_FONT},
                                    {"SYSTEM_FIXED_FONT", SYSTEM_FIXED_FONT}};

// Numbers as source text: whole numbers without decimals.
std::string Num(double n) {
  if (n == std::floor(n) && std::fabs(n) < 1e15) return std::to_string(static_cast<long long>(n));
  return cValToChar(Value(n));
}
std::string Lg(bool l) { return l ? ".t." : ".f."; }

}  // namespace

TFont::~TFont() {
  // A font that escaped End (a holder dropped it) must not leak its handle.
  if (hFont && lDestroy) DELETEOBJECT(hFont);
}

const std::vector<std::shared_ptr<TFont>>& TFont::FontList() { return Fonts(); }

std::shared_ptr<TFont> TFont::New(const FontParams& aParams) {
  FontParams p = aParams;
  if (Upper(p.cFaceName) == "SYSTAHOMA") {
    if (p.nHeight < 0 && -p.nHeight < 12) p.nHeight = -12;
    p.cFaceName = "TAHOMA";
  }
  std::optional<FontDesc> chosen;
  if (p.lFromUser) {
    COLORREF color = 0;
    chosen = CHOOSEFONT(std::nullopt, &color);
    if (chosen && chosen->cFaceName.empty()) chosen.reset();
  }
  if (p.lBold) p.nWeight = static_cast<int>(NOR({p.nWeight, 700}));

  auto font = std::make_shared<TFont>();
  if (chosen) {
    font->cFaceName = chosen->cFaceName;
    font->nInpHeight = chosen->nHeight;
    font->nInpWidth = chosen->nWidth;
    font->nEscapement = chosen->nEscapement;
    font->nOrientation = chosen->nOrientation;
    font->nWeight = chosen->nWeight;
    font->lBold = chosen->nWeight != 400;
    font->lItalic = chosen->lItalic;
    font->lUnderline = chosen->lUnderline;
    font->lStrikeOut = chosen->lStrikeOut;
    font->nCharSet = chosen->nCharSet;
    font->nOutPrecision = chosen->nOutPrecision;
    font->nClipPrecision = chosen->nClipPrecision;
    font->nQuality = chosen->nQuality;
    font->nPitchFamily = chosen->nPitchFamily;
  } else {
    font->cFaceName = p.cFaceName;
    font->nInpHeight = p.nHeight;
    font->nInpWidth = p.nWidth;
    font->nEscapement = p.nEscapement;
    font->nOrientation = p.nOrientation;
    font->nWeight = p.nWeight;
    font->lBold = p.lBold;
    font->lItalic = p.lItalic;
    font->lUnderline = p.lUnderline;
    font->lStrikeOut = p.lStrikeOut;
    font->nCharSet = p.nCharSet;
    font->nOutPrecision = p.nOutPrecision;
    font->nClipPrecision = p.nClipPrecision;
    font->nQuality = p.nQuality;
    font->nPitchFamily = p.nPitchFamily;
  }
  font->hFontOld = nullptr;
  if (p.nDevLogPixelY) font->nInpHeight = p.nDevLogPixelY / 72.0 * font->nInpHeight;

  for (const auto& f : Fonts()) {
    if (f->SameAs(*font)) {
      ++f->nCount;
      f->lNew = false;
      return f;
    }
  }
  const std::string key = Upper(font->cFaceName);
  for (const StockKey& stock : kStockFonts) {
    if (key == stock.cKey) {
      font->hFont = static_cast<HFONT>(GetStockObject(stock.nObject));
      const FontInfo info = GETFONTINFO(font->hFont);
      font->nInpHeight = info.nHeight;
      font->nInpWidth = info.nAveWidth;
      font->lBold = info.lBold;
      font->lDestroy = false;
      ++font->nCount;
      font->lNew = true;
      return font;
    }
  }
  font->hFont = CREATEFONT(font->Desc());
  font->lDestroy = true;
  ++font->nCount;
  font->lNew = true;
  Fonts().push_back(font);
  return font;
}

FontDesc TFont::Desc() const {
  FontDesc d;
  d.nHeight = static_cast<LONG>(nInpHeight);
  d.nWidth = static_cast<LONG>(nInpWidth);
  d.nEscapement = nEscapement;
  d.nOrientation = nOrientation;
  d.nWeight = nWeight;
  d.lItalic = lItalic;
  d.lUnderline = lUnderline;
  d.lStrikeOut = lStrikeOut;
  d.nCharSet = nCharSet;
  d.nOutPrecision = nOutPrecision;
  d.nClipPrecision = nClipPrecision;
  d.nQuality = nQuality;
  d.nPitchFamily = nPitchFamily;
  d.cFaceName = cFaceName;
  return d;
}

void TFont::End() {
  auto keep = weak_from_this().lock();  // the list may hold the last reference
  --nCount;
  if (nCount >= 1 || !hFont || !lDestroy) return;
  if (DELETEOBJECT(hFont)) {
    auto& list = Fonts();
    const HFONT gone = hFont;
    hFont = nullptr;
    nCount = 0;
    list.erase(std::remove_if(list.begin(), list.end(), [&](const auto& f) { return f->hFont == gone || f.get() == this; }),
               list.end());
  } else {
    LogFile("resources.txt", {Value("DeleteObject( ::hFont ) failed from TFont:End()"), HandleValue(hFont),
                              Value(nCount), Value(lDestroy)});
  }
}

void TFont::Activate(HDC hDC) {
  if (hDC && hFont) hFontOld = static_cast<HFONT>(SelectObject(hDC, hFont));
}

void TFont::DeActivate(HDC hDC) {
  if (hDC && hFontOld) SelectObject(hDC, hFontOld);
  hFontOld = nullptr;
}

double TFont::nHeight() const { return std::fabs(nInpHeight); }

double TFont::nWidth() const { return nInpWidth == 0 ? nHeight() * 0.44 : nInpWidth; }

double TFont::nSize() const {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  const double size = -nInpHeight * 72.0 / (dpi ? dpi : 96);
  const double whole = std::floor(size);
  if (size - whole == 0.25) return whole;
  return size == whole ? size : size + 0.25;
}

std::shared_ptr<TFont> TFont::Modify(std::optional<double> nNewHeight, std::optional<bool> lNewBold,
                                     std::optional<bool> lNewItalic, std::optional<bool> lNewUnderline,
                                     std::optional<bool> lNewStrikeOut, std::optional<int> nNewEscapement) {
  FontParams p;
  p.cFaceName = cFaceName;
  // The sign and the width as given keep the size of the font unchanged.
  p.nWidth = nInpWidth;
  p.nHeight = nNewHeight.value_or(nInpHeight);
  p.lBold = lNewBold.value_or(lBold);
  p.nEscapement = nNewEscapement.value_or(nEscapement);
  p.nOrientation = nOrientation;
  // Dropping bold must drop the bold weight too.
  p.nWeight = lNewBold && !*lNewBold && nWeight == 700 ? 0 : nWeight;
  p.lItalic = lNewItalic.value_or(lItalic);
  p.lUnderline = lNewUnderline.value_or(lUnderline);
  p.lStrikeOut = lNewStrikeOut.value_or(lStrikeOut);
  p.nCharSet = nCharSet;
  p.nOutPrecision = nOutPrecision;
  p.nClipPrecision = nClipPrecision;
  p.nQuality = nQuality;
  p.nPitchFamily = nPitchFamily;
  return New(p);
}

std::shared_ptr<TFont> TFont::Escapement(std::optional<int> n) {
  return Modify({}, {}, {}, {}, {}, n.value_or(nEscapement) % 3600);
}

std::shared_ptr<TFont> TFont::Rotate(int n) {
  int angle = nEscapement + n;
  while (angle < 0) angle += 3600;
  return Escapement(angle);
}

std::shared_ptr<TFont> TFont::Choose(COLORREF* pColor) {
  auto self = std::static_pointer_cast<TFont>(shared_from_this());
  const auto chosen = CHOOSEFONT(Desc(), pColor);
  if (!chosen) return self;
  FontParams p;
  p.cFaceName = chosen->cFaceName;
  p.nHeight = chosen->nHeight;
  p.nWidth = 0;
  p.nEscapement = chosen->nEscapement;
  p.nOrientation = chosen->nOrientation;
  p.nWeight = chosen->nWeight;
  p.lBold = chosen->nWeight == 700;
  p.lItalic = chosen->lItalic;
  p.lUnderline = chosen->lUnderline;
  p.lStrikeOut = chosen->lStrikeOut;
  p.nCharSet = chosen->nCharSet;
  p.nOutPrecision = chosen->nOutPrecision;
  p.nClipPrecision = chosen->nClipPrecision;
  p.nQuality = chosen->nQuality;
  p.nPitchFamily = chosen->nPitchFamily;
  End();
  return New(p);
}

bool TFont::SameAs(const TFont& o) const {
  return nInpHeight == o.nInpHeight && nInpWidth == o.nInpWidth && nEscapement == o.nEscapement &&
         nOrientation == o.nOrientation && nWeight == o.nWeight && lItalic == o.lItalic &&
         lUnderline == o.lUnderline && lBold == o.lBold && lStrikeOut == o.lStrikeOut && nCharSet == o.nCharSet &&
         nOutPrecision == o.nOutPrecision && nClipPrecision == o.nClipPrecision && nQuality == o.nQuality &&
         nPitchFamily == o.nPitchFamily && cFaceName == o.cFaceName;
}

std::string TFont::cGenPrg(std::string_view cName) const {
  const std::string name(cName);
  if (!nOrientation && !lStrikeOut && !nCharSet && !nOutPrecision && !nClipPrecision && !nQuality) {
    std::string s = "DEFINE FONT " + name + " NAME '" + cFaceName + "' " + Num(nInpWidth) + "," + Num(nInpHeight);
    if (lBold) s += " BOLD";
    if (lItalic) s += " ITALIC";
    if (lUnderline) s += " UNDERLINE";
    if (nPitchFamily) s += " PITCHFAMILY " + Num(nPitchFamily);
    if (nWeight && !(lBold && nWeight == 700)) s += " WEIGHT " + Num(nWeight);
    if (nEscapement) s += " ESCAPEMENT " + Num(nEscapement);
    return s;
  }
  return name + " := TFont():New( '" + cFaceName + "', " + Num(nInpWidth) + ", " + Num(nInpHeight) + ", .f., " +
         Lg(lBold) + ", " + Num(nEscapement) + ", " + Num(nOrientation) + ", " + Num(nWeight) + ", " + Lg(lItalic) +
         ", " + Lg(lUnderline) + ", " + Lg(lStrikeOut) + ", " + Num(nCharSet) + ", " + Num(nOutPrecision) + ", " +
         Num(nClipPrecision) + ", " + Num(nQuality) + ", , " + Num(nPitchFamily) + " )";
}

std::vector<std::pair<std::string, Value>> TFont::Properties() const {
  // Height and width are kept too: a font read back must have its size.
  return {{"cFaceName", Value(cFaceName)}, {"nInpHeight", Value(nInpHeight)}, {"nInpWidth", Value(nInpWidth)},
          {"lBold", Value(lBold)},
          {"lItalic", Value(lItalic)},     {"lUnderline", Value(lUnderline)},
          {"lStrikeOut", Value(lStrikeOut)}, {"nOrientation", Value(nOrientation)},
          {"nWeight", Value(nWeight)},     {"nCharSet", Value(nCharSet)}};
}

bool TFont::SetProperty(std::string_view cName, const Value& uValue) {
  const std::string name = Upper(cName == "n_Style" ? std::string_view("nStyle") : cName);
  if (name == "CFACENAME" && uValue.IsString()) cFaceName = uValue.AsString();
  else if (name == "NINPHEIGHT" && uValue.IsNumber()) nInpHeight = uValue.AsNumber();
  else if (name == "NINPWIDTH" && uValue.IsNumber()) nInpWidth = uValue.AsNumber();
  else if (name == "LBOLD" && uValue.IsLogical()) lBold = uValue.AsLogical();
  else if (name == "LITALIC" && uValue.IsLogical()) lItalic = uValue.AsLogical();
  else if (name == "LUNDERLINE" && uValue.IsLogical()) lUnderline = uValue.AsLogical();
  else if (name == "LSTRIKEOUT" && uValue.IsLogical()) lStrikeOut = uValue.AsLogical();
  else if (name == "NORIENTATION" && uValue.IsNumber()) nOrientation = static_cast<int>(uValue.AsInt());
  else if (name == "NWEIGHT" && uValue.IsNumber()) nWeight = static_cast<int>(uValue.AsInt());
  else if (name == "NCHARSET" && uValue.IsNumber()) nCharSet = static_cast<int>(uValue.AsInt());
  else return false;
  return true;
}

namespace {

// The members of a font made with the constructor's defaults. Not read
// from the stock font: its metrics differ between systems, and a record
// must load to the same description everywhere.
persist::Members DefaultFontMembers() {
  TFont def;
  def.nInpHeight = 14;
  def.cFaceName = "SYSTEM_FONT";
  def.lDestroy = false;
  return def.Properties();
}

}  // namespace

std::string TFont::Save() const {
  return persist::SaveRecord(ClassName(), persist::Differing(Properties(), DefaultFontMembers()));
}

bool TFont::Load(std::string_view cData) {
  std::string cls;
  persist::Members members;
  if (!persist::ParseRecord(cData, cls, members) || cls != ClassName()) return false;
  for (const auto& [name, value] : members) SetProperty(name, value);
  return true;
}

std::string TFont::SaveToText(int nIndent) const {
  return persist::SaveText(ClassName(), "oFont", persist::Differing(Properties(), DefaultFontMembers()), nIndent);
}

std::shared_ptr<TFont> TFont::Borrowed(HFONT h) {
  auto font = std::make_shared<TFont>();
  font->hFont = h;
  font->lDestroy = false;
  font->nCount = 1;
  LOGFONTA lf{};
  if (GetObjectA(h, sizeof lf, &lf)) {
    font->nInpHeight = lf.lfHeight;
    font->nWeight = lf.lfWeight;
    font->lBold = lf.lfWeight >= FW_BOLD;
    font->cFaceName = lf.lfFaceName;
  }
  return font;
}

std::shared_ptr<TFont> TFont::FromRecord(std::string_view cData) {
  TFont shape;  // a default description, no platform font
  shape.lDestroy = false;
  shape.cFaceName = "SYSTEM_FONT";
  shape.nInpHeight = 14;
  if (!shape.Load(cData)) return nullptr;
  FontParams p;
  p.cFaceName = shape.cFaceName;
  p.nHeight = shape.nInpHeight;
  p.nWidth = shape.nInpWidth;
  p.lBold = shape.lBold;
  p.lItalic = shape.lItalic;
  p.lUnderline = shape.lUnderline;
  p.lStrikeOut = shape.lStrikeOut;
  p.nOrientation = shape.nOrientation;
  p.nWeight = shape.nWeight;
  p.nCharSet = shape.nCharSet;
  return New(p);
}

// ---- Records ----------------------------------------------------------------------

namespace persist {

namespace {

bool PutLen(std::string& out, size_t n) {
  if (n > 0xFFFF) return false;
  out += static_cast<char>(n & 0xFF);
  out += static_cast<char>(n >> 8);
  return true;
}

bool PutText(std::string& out, std::string_view s) {
  if (!PutLen(out, s.size())) return false;
  out += s;
  return true;
}

class Reader {
 public:
  explicit Reader(std::string_view d) : d_(d) {}
  bool Len(size_t& n) {
    if (d_.size() - p_ < 2) return false;
    n = static_cast<uint8_t>(d_[p_]) | static_cast<uint8_t>(d_[p_ + 1]) << 8;
    p_ += 2;
    return true;
  }
  bool Byte(char& c) {
    if (p_ >= d_.size()) return false;
    c = d_[p_++];
    return true;
  }
  bool Text(std::string& s) {
    size_t n = 0;
    if (!Len(n) || d_.size() - p_ < n) return false;
    s.assign(d_.substr(p_, n));
    p_ += n;
    return true;
  }
  bool AtEnd() const { return p_ == d_.size(); }

 private:
  std::string_view d_;
  size_t p_ = 0;
};

}  // namespace

std::string SaveRecord(std::string_view cClass, const Members& aMembers) {
  std::string body;
  if (!PutText(body, cClass) || !PutLen(body, aMembers.size())) return {};
  for (const auto& [name, value] : aMembers) {
    if (!PutText(body, name)) return {};
    body += value.ValType();
    if (!PutText(body, cValToChar(value))) return {};
  }
  std::string out = "O";
  if (!PutLen(out, body.size())) return {};
  return out + body;
}

bool ParseRecord(std::string_view cData, std::string& cClass, Members& aMembers) {
  if (cData.empty() || cData[0] != 'O') return false;
  size_t bodyLen = 0;
  Reader head(cData.substr(1));
  if (!head.Len(bodyLen) || cData.size() != 3 + bodyLen) return false;
  Reader r(cData.substr(3));
  size_t count = 0;
  if (!r.Text(cClass) || !r.Len(count)) return false;
  aMembers.clear();
  for (size_t i = 0; i < count; ++i) {
    std::string name, text;
    char type = 0;
    if (!r.Text(name) || !r.Byte(type) || !r.Text(text)) return false;
    switch (type) {
      case 'C': aMembers.emplace_back(name, Value(text)); break;
      case 'L': aMembers.emplace_back(name, Value(text == ".T.")); break;
      case 'N': aMembers.emplace_back(name, Val(text)); break;
      case 'U': aMembers.emplace_back(name, Value()); break;
      default: return false;  // font and brush members are strings, logicals and numbers
    }
  }
  return r.AtEnd();
}

std::string SaveText(std::string_view cClass, std::string_view cMember, const Members& aMembers, int nIndent) {
  const std::string pad(static_cast<size_t>(std::max(nIndent, 0)), ' ');
  std::string out;
  if (nIndent > 0) {
    std::string shown = Upper(cClass.substr(0, 2)) + Lower(cClass.substr(std::min<size_t>(2, cClass.size())));
    out = pad + "OBJECT ::" + std::string(cMember) + " AS " + shown + "\r\n";
  } else {
    out = std::string(cClass) + "\r\n\r\n";
  }
  for (const auto& [name, value] : aMembers) {
    out += pad + "   ::" + name + " = ";
    out += value.IsString() ? "\"" + value.AsString() + "\"" : cValToChar(value);
    out += "\r\n";
  }
  if (nIndent > 0) out += pad + "ENDOBJECT";
  return out;
}

Members Differing(const Members& aNow, const Members& aDefault) {
  Members out;
  for (size_t i = 0; i < aNow.size(); ++i)
    if (i >= aDefault.size() || !(aNow[i].second == aDefault[i].second)) out.push_back(aNow[i]);
  return out;
}

}  // namespace persist

}  // namespace nx

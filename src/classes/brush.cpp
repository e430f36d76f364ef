#include "classes/brush.h"

#include <algorithm>
#include <cmath>

#include "classes/font.h"
#include "native/draw.h"
#include "native/gdi.h"
#include "rt/strings.h"

namespace nx {

namespace {

std::vector<std::shared_ptr<TBrush>>& Brushes() {
  static std::vector<std::shared_ptr<TBrush>> list;
  return list;
}

constexpr const char* kPatterns[] = {"BORLAND", "BRICKS", "TILED", "TABS"};
constexpr const char* kHatches[] = {"HORIZONTAL", "VERTICAL", "FDIAGONAL", "BDIAGONAL", "CROSS", "DIAGCROSS"};

// AScan, so the runtime's string comparison applies: with SET EXACT off a
// style names the first keyword it begins.
template <size_t N>
int Find(const char* const (&list)[N], const std::string& s) {
  ArrayPtr keywords = NewArray();
  for (const char* k : list) AAdd(keywords, Value(k));
  return static_cast<int>(AScan(keywords, Value(s))) - 1;
}

bool FileExists(const std::string& cFile) {
  if (cFile.empty()) return false;
  const DWORD attr = GetFileAttributesA(cFile.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TBrush::~TBrush() {
  // Safety net for a brush dropped without End.
  if (hBrush && !lSystem) DELETEOBJECT(hBrush);
  if (hBitmap) DELETEOBJECT(hBitmap);
}

const std::vector<std::shared_ptr<TBrush>>& TBrush::aBrushes() { return Brushes(); }

std::shared_ptr<TBrush> TBrush::New(const BrushParams& aParams) {
  auto brush = std::make_shared<TBrush>();
  brush->cStyle = aParams.cStyle;
  brush->nRGBColor = aParams.nRGBColor;
  brush->cBmpFile = aParams.cBmpFile;
  brush->cBmpRes = aParams.cBmpRes;
  brush->lSystem = false;
  // A caller's bitmap takes part in the sharing key through its handle.
  if (aParams.hBitmap)
    brush->cBmpFile = std::to_string(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(aParams.hBitmap)));

  for (const auto& b : Brushes()) {
    if (b->cStyle == brush->cStyle && b->nRGBColor == brush->nRGBColor && b->cBmpFile == brush->cBmpFile &&
        b->cBmpRes == brush->cBmpRes) {
      // Built-in pattern brushes are shared like the others: ending the
      // found one here would delete a brush its holders still paint with.
      ++b->nCount;
      return b;
    }
  }

  if (brush->cStyle.empty() && brush->nRGBColor) {
    struct Stock {
      COLORREF nColor;
      int nObject;
    };
    static constexpr Stock stock[] = {{RGB(255, 255, 255), WHITE_BRUSH},
                                      {RGB(0, 0, 0), BLACK_BRUSH},
                                      {RGB(192, 192, 192), LTGRAY_BRUSH},
                                      {RGB(128, 128, 128), GRAY_BRUSH},
                                      {RGB(64, 64, 64), DKGRAY_BRUSH}};
    for (const Stock& s : stock) {
      if (*brush->nRGBColor == s.nColor) {
        brush->hBrush = static_cast<HBRUSH>(GetStockObject(s.nObject));
        brush->lSystem = true;
      }
    }
    if (!brush->lSystem) brush->hBrush = CREATESOLIDBRUSH(*brush->nRGBColor);
  } else if (!brush->cStyle.empty()) {
    if (brush->cStyle == "NULL") {
      brush->hBrush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
      brush->lSystem = true;
    } else if (const int n = Find(kPatterns, brush->cStyle); n >= 0) {
      brush->hBitmap = NXBRUSHES(n + 1);
      brush->hBrush = CREATEPATTERNBRUSH(brush->hBitmap);
    } else if (const int h = Find(kHatches, brush->cStyle); h >= 0) {
      brush->hBrush = CREATEHATCHBRUSH(h, brush->nRGBColor.value_or(0));
    } else if (FileExists(brush->cBmpFile)) {
      brush->hBitmap = READBITMAP(nullptr, brush->cBmpFile);
      brush->hBrush = CREATEPATTERNBRUSH(brush->hBitmap);
    }
  } else {
    if (aParams.hBitmap) {
      brush->hBitmap = aParams.hBitmap;
    } else if (FileExists(brush->cBmpFile)) {
      // Other image formats need the image loader, which this build lacks.
      if (Lower(brush->cBmpFile).ends_with(".bmp")) brush->hBitmap = READBITMAP(nullptr, brush->cBmpFile);
    } else if (!brush->cBmpRes.empty()) {
      brush->hBitmap = LOADBITMAP(GetModuleHandleA(nullptr), brush->cBmpRes.c_str());
    }
    if (brush->hBitmap) brush->hBrush = CREATEPATTERNBRUSH(brush->hBitmap);
  }
  brush->nCount = 1;
  Brushes().push_back(brush);
  return brush;
}

void TBrush::End() {
  auto keep = weak_from_this().lock();  // the list may hold the last reference
  if (--nCount >= 1) return;
  auto& list = Brushes();
  list.erase(std::remove_if(list.begin(), list.end(), [&](const auto& b) { return b.get() == this; }), list.end());
  if (hBrush && !lSystem && !DELETEOBJECT(hBrush))
    LogFile("resources.txt", {Value("DeleteObject( ::hBrush ) failed from TBrush:End()"), HandleValue(hBrush)});
  if (hBitmap) DELETEOBJECT(hBitmap);
  hBrush = nullptr;
  hBitmap = nullptr;
  nCount = 0;
}

std::shared_ptr<TBrush> TBrush::Resized(int nWidth, int nHeight, std::optional<int> nMode) {
  const int bw = NBMPWIDTH(hBitmap), bh = NBMPHEIGHT(hBitmap);
  if (!bw || !bh) return nullptr;
  const int mode = !nWidth && !nHeight ? 0 : nMode.value_or(1);
  int w = bw, h = bh;
  if (mode == 1) {
    w = nWidth;
    h = nHeight;
  } else if (mode == 2 || mode == 3) {
    const double rw = double(nWidth) / bw, rh = double(nHeight) / bh;
    const bool byWidth = mode == 3 ? rw <= rh : rw >= rh;
    if (byWidth) {
      w = nWidth;
      h = static_cast<int>(bh * rw);
    } else {
      w = static_cast<int>(bw * rh);
      h = nHeight;
    }
  }
  HBITMAP resized = RESIZEBMP(hBitmap, w, h);
  if (!resized) return nullptr;
  return New({.hBitmap = resized});
}

std::string TBrush::cGenPRG(std::string_view cName) const {
  std::string s = "DEFINE BRUSH " + std::string(cName);
  if (!cStyle.empty()) s += " STYLE '" + cStyle + "'";
  if (nRGBColor) s += " COLOR " + std::to_string(*nRGBColor);
  if (!cBmpFile.empty()) s += " FILE '" + cBmpFile + "'";
  else if (!cBmpRes.empty()) s += " RESOURCE '" + cBmpRes + "'";
  return s;
}

std::vector<std::pair<std::string, Value>> TBrush::Properties() const {
  return {{"cStyle", cStyle.empty() ? Value() : Value(cStyle)},
          {"cBmpFile", cBmpFile.empty() ? Value() : Value(cBmpFile)},
          {"cBmpRes", cBmpRes.empty() ? Value() : Value(cBmpRes)},
          {"nRGBColor", nRGBColor ? Value(static_cast<unsigned long>(*nRGBColor)) : Value()},
          {"lSystem", Value(lSystem)}};
}

bool TBrush::SetProperty(std::string_view cName, const Value& uValue) {
  const std::string name = Upper(cName);
  if (name == "CSTYLE") cStyle = uValue.IsString() ? uValue.AsString() : std::string();
  else if (name == "CBMPFILE") cBmpFile = uValue.IsString() ? uValue.AsString() : std::string();
  else if (name == "CBMPRES") cBmpRes = uValue.IsString() ? uValue.AsString() : std::string();
  else if (name == "NRGBCOLOR")
    nRGBColor = uValue.IsNumber() ? std::optional<COLORREF>(static_cast<COLORREF>(uValue.AsInt())) : std::nullopt;
  else if (name == "LSYSTEM" && uValue.IsLogical()) lSystem = uValue.AsLogical();
  else return false;
  return true;
}

namespace {

persist::Members DefaultBrushMembers() {
  TBrush def;  // the constructor's defaults, without touching the brush list
  return def.Properties();
}

}  // namespace

std::string TBrush::Save() const {
  return persist::SaveRecord(ClassName(), persist::Differing(Properties(), DefaultBrushMembers()));
}

bool TBrush::Load(std::string_view cData) {
  std::string cls;
  persist::Members members;
  if (!persist::ParseRecord(cData, cls, members) || cls != ClassName()) return false;
  for (const auto& [name, value] : members) SetProperty(name, value);
  return true;
}

std::string TBrush::SaveToText(int nIndent) const {
  return persist::SaveText(ClassName(), "oBrush", persist::Differing(Properties(), DefaultBrushMembers()), nIndent);
}

std::shared_ptr<TBrush> TBrush::FromRecord(std::string_view cData) {
  TBrush shape;
  if (!shape.Load(cData)) return nullptr;
  return New({.cStyle = shape.cStyle, .nRGBColor = shape.nRGBColor, .cBmpFile = shape.cBmpFile,
              .cBmpRes = shape.cBmpRes});
}

ObjectPtr ORead(std::string_view cData) {
  std::string cls;
  persist::Members members;
  if (!persist::ParseRecord(cData, cls, members)) return nullptr;
  if (cls == "TFONT") return TFont::FromRecord(cData);
  if (cls == "TBRUSH") return TBrush::FromRecord(cData);
  return nullptr;
}

}  // namespace nx

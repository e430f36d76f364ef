// TFont: a logical font shared by description. Asking twice for the same
// description answers the same object with nCount raised; the platform font
// is deleted at the last End(). Stock fonts are never shared nor deleted.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "native/gdi.h"
#include "rt/value.h"

namespace nx {

// Constructor parameters, in the order of the positional form.
struct FontParams {
  std::string cFaceName = "SYSTEM_FONT";  // or a stock-font key such as "ANSI_VAR_FONT"
  double nWidth = 0;
  double nHeight = 14;  // negative: character height in pixels
  bool lFromUser = false;  // run the font dialog first
  bool lBold = false;
  int nEscapement = 0;
  int nOrientation = 0;
  int nWeight = 0;
  bool lItalic = false;
  bool lUnderline = false;
  bool lStrikeOut = false;
  int nCharSet = 0;
  int nOutPrecision = 0;
  int nClipPrecision = 0;
  int nQuality = 0;
  int nDevLogPixelY = 0;  // a device (printer): its vertical pixels per inch; 0 for the screen
  int nPitchFamily = 0;
};

class TFont : public Object {
 public:
  const char* ClassName() const override { return "TFONT"; }
  ~TFont() override;

  static std::shared_ptr<TFont> New(const FontParams& aParams = {});
  // The font list: every live font whose platform font the class created.
  static const std::vector<std::shared_ptr<TFont>>& FontList();

  std::string cFaceName;
  HFONT hFont = nullptr;
  HFONT hFontOld = nullptr;
  bool lBold = false;
  bool lItalic = false;
  bool lUnderline = false;
  bool lStrikeOut = false;
  double nInpHeight = 0;
  double nInpWidth = 0;
  int nEscapement = 0;
  int nOrientation = 0;
  int nWeight = 0;
  int nCharSet = 0;
  int nOutPrecision = 0;
  int nClipPrecision = 0;
  int nQuality = 0;
  int nPitchFamily = 0;
  int nCount = 0;
  bool lDestroy = true;
  bool lNew = false;

  // Drops one reference; the last deletes the platform font. A failed
  // deletion is appended to "resources.txt" and the font stays listed.
  void End();
  void Release() { End(); }
  void Activate(HDC hDC);
  void DeActivate(HDC hDC);

  double nHeight() const;  // |nInpHeight|
  void nHeight(double n) { nInpHeight = n; }
  double nWidth() const;   // nInpWidth, or nHeight x 0.44 when 0
  void nWidth(double n) { nInpWidth = n; }
  double nSize() const;    // point size on the screen

  // Each returns a font (shared or new) with one attribute changed; this
  // font is left as it is.
  std::shared_ptr<TFont> Modify(std::optional<double> nHeight = {}, std::optional<bool> lBold = {},
                                std::optional<bool> lItalic = {}, std::optional<bool> lUnderline = {},
                                std::optional<bool> lStrikeOut = {}, std::optional<int> nEscapement = {});
  std::shared_ptr<TFont> Bold(bool l = true) { return Modify({}, l); }
  std::shared_ptr<TFont> Italic(bool l = true) { return Modify({}, {}, l); }
  std::shared_ptr<TFont> Underline(bool l = true) { return Modify({}, {}, {}, l); }
  std::shared_ptr<TFont> StrikeOut(bool l = true) { return Modify({}, {}, {}, {}, l); }
  std::shared_ptr<TFont> Escapement(std::optional<int> n = {});
  std::shared_ptr<TFont> Rotate(int n = 900);
  // The font dialog pre-filled with this font: on OK this font is ended and
  // the chosen one answered, else this font.
  std::shared_ptr<TFont> Choose(COLORREF* pColor = nullptr);

  std::string cGenPrg(std::string_view cName = "oFont") const;
  bool SameAs(const TFont& o) const;  // the fifteen attributes the font list compares
  bool operator==(const TFont& o) const { return SameAs(o); }

  // Persistence of the members that differ from a default font.
  std::string Save() const;
  bool Load(std::string_view cData);  // a record made by Save()
  std::string SaveToText(int nIndent = 0) const;
  // A shared font built from a Save() record; nullptr when malformed.
  static std::shared_ptr<TFont> FromRecord(std::string_view cData);
  // A platform font someone else made (a dialog template's, a control's):
  // described from the handle, used, never deleted.
  static std::shared_ptr<TFont> Borrowed(HFONT h);

  FontDesc Desc() const;
  std::vector<std::pair<std::string, Value>> Properties() const;
  bool SetProperty(std::string_view cName, const Value& uValue);
};

// Object records shared by fonts and brushes.
namespace persist {
using Members = std::vector<std::pair<std::string, Value>>;
// "O", length, class name, member count, members (little-endian 2-byte numbers).
std::string SaveRecord(std::string_view cClass, const Members& aMembers);
// Class name and members of a record; false when it is malformed.
bool ParseRecord(std::string_view cData, std::string& cClass, Members& aMembers);
std::string SaveText(std::string_view cClass, std::string_view cMember, const Members& aMembers, int nIndent);
// The members of aNow that differ from aDefault.
Members Differing(const Members& aNow, const Members& aDefault);
}  // namespace persist

}  // namespace nx

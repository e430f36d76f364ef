// TIcon: one icon, from an icon file or the resources, in a 32 x 32 child
// window; without a parent it is only a holder of the icon, which is how
// windows and dialogs keep theirs.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "classes/control.h"

namespace nx {

// New's positional arguments, with their defaults.
struct TIconParams {
  int nRow = 0, nCol = 0;  // character cells: 14 pixels down, 8 across
  std::string cResName{}, cIcoFile{};  // both: the resource wins
  bool lBorder = false;
  MouseHook bClick{};
  TWindowPtr oWnd{};  // none: a holder without a window
  bool lUpdate = false;
  CondHook bWhen{};
  std::optional<COLORREF> nClrFore{}, nClrBack{};
};

struct TIconRedefineParams {
  int nId = 0;
  std::string cResName{}, cIcoFile{};
  MouseHook bClick{};
  bool lUpdate = false;
  TWindowPtr oWnd{};  // none: the default window
  CondHook bWhen{};
};

class TIcon : public TControl {
 public:
  static std::shared_ptr<TIcon> New(const TIconParams& p = {});
  // An item of a dialog resource; the icon is loaded when the dialog initiates it.
  static std::shared_ptr<TIcon> ReDefine(const TIconRedefineParams& p);
  // A window's or dialog's icon given by name: the file of that name when
  // one exists, else the resource.
  static std::shared_ptr<TIcon> FromName(const std::string& cFileOrResName);
  // A holder over an icon made elsewhere; with lDestroy it frees the icon.
  static std::shared_ptr<TIcon> FromHandle(HICON hIcon, bool lDestroy);
  ~TIcon() override;

  const char* ClassName() const override { return "TICON"; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }

  void Initiate(HWND hDlg) override;
  Value HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) override;
  Value Paint() override;
  Value Display() override;
  // Another icon from the resources or a file; a name that gives no icon
  // changes nothing (a missing resource or a damaged file is reported).
  void SetName(const std::string& cResName);
  void SetFile(const std::string& cFile);
  // A holder frees its icon at once; a control ends as a control.
  bool End() override;
  Value Destroy() override;

  std::string cIcoFile, cResName;
  HICON hIcon = nullptr;
  bool lDestroy = true;  // the icon is this object's to free

 private:
  void LoadIcons();
  void FreeIcon();
};

// Reports a picture that cannot be loaded through the error block (a
// recoverable error of subsystem "Novaxis" naming the file or resource).
Value PictureError(int nGenCode, const std::string& cDescription, const std::string& cOperation,
                   const std::string& cName);

}  // namespace nx

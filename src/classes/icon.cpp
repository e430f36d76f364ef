#include "classes/icon.h"

#include "classes/brush.h"
#include "native/draw.h"
#include "native/image.h"
#include "rt/error.h"

namespace nx {

namespace {

bool FileExists(const std::string& cFile) {
  const DWORD attr = cFile.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(cFile.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

// The icon of a file; a file that is there but gives no icon is reported.
HICON IconFromFile(const std::string& cFile, const char* cOperation) {
  HICON icon = EXTRACTICON(cFile);
  if (!icon && FileExists(cFile)) PictureError(EG_CORRUPTION, "Not a valid icon file", cOperation, cFile);
  return icon;
}

HICON IconFromResource(const std::string& cResName, const char* cOperation) {
  HICON icon = LOADICON(GETRESOURCES(), cResName);
  if (!icon) PictureError(EG_OPEN, "Icon resource not found", cOperation, cResName);
  return icon;
}

}  // namespace

Value PictureError(int nGenCode, const std::string& cDescription, const std::string& cOperation,
                   const std::string& cName) {
  auto e = ErrorNew("Novaxis", nGenCode, nGenCode, cDescription, cOperation, 2);
  e->CanDefault = true;
  e->FileName = cName;
  e->Args = Value(Array{Value(cName)});
  return RaiseError(e);
}

std::shared_ptr<TIcon> TIcon::New(const TIconParams& p) {
  auto o = std::make_shared<TIcon>();
  o->nTop = p.nRow * 14;
  o->nLeft = p.nCol * 8;
  o->nBottom = o->nTop + 31;
  o->nRight = o->nLeft + 31;
  // A child must be visible to be seen; the border only adds WS_BORDER.
  o->nStyle = WS_CHILD | WS_VISIBLE | (p.lBorder ? WS_BORDER : 0);
  o->nId = GetNewId();
  o->bLClicked = p.bClick;
  o->lDrag = o->lCaptured = false;
  o->lUpdate_ = p.lUpdate;
  o->bWhen = p.bWhen;
  o->cResName = p.cResName;
  o->cIcoFile = p.cIcoFile;
  TWindowPtr parent = p.oWnd;
  TWindowPtr colours = parent ? parent : GetWndDefault();
  if (colours) o->SetColor(colours->nClrText, colours->nClrPane);
  else o->SetColor(GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW));
  if (p.nClrFore || p.nClrBack) o->SetColor(p.nClrFore.value_or(o->nClrText), p.nClrBack.value_or(o->nClrPane));
  o->oWnd = parent;
  if (parent) {
    o->Register(CS_VREDRAW | CS_HREDRAW);
    if (parent->hWnd) {
      o->Create();
      if (o->hWnd) parent->AddControl(o);
    } else {
      parent->DefControl(o);
    }
  }
  o->LoadIcons();
  return o;
}

std::shared_ptr<TIcon> TIcon::ReDefine(const TIconRedefineParams& p) {
  auto o = std::make_shared<TIcon>();
  o->cResName = p.cResName;
  o->cIcoFile = p.cIcoFile;
  o->bLClicked = p.bClick;
  o->lUpdate_ = p.lUpdate;
  o->bWhen = p.bWhen;
  TWindowPtr parent = p.oWnd ? p.oWnd : GetWndDefault();
  if (parent) o->SetColor(parent->nClrText, parent->nClrPane);
  o->Redefine(p.nId, parent);
  return o;
}

std::shared_ptr<TIcon> TIcon::FromName(const std::string& cFileOrResName) {
  if (FileExists(cFileOrResName)) return New({.cIcoFile = cFileOrResName});
  return New({.cResName = cFileOrResName});
}

std::shared_ptr<TIcon> TIcon::FromHandle(HICON hIcon, bool lDestroy) {
  auto o = std::make_shared<TIcon>();
  o->hIcon = hIcon;
  o->lDestroy = lDestroy;
  return o;
}

TIcon::~TIcon() { FreeIcon(); }

void TIcon::FreeIcon() {
  if (hIcon && lDestroy) DESTROYICON(hIcon);
  hIcon = nullptr;
  lDestroy = true;
}

void TIcon::LoadIcons() {
  HICON icon = cIcoFile.empty() ? nullptr : IconFromFile(cIcoFile, "TICON:NEW");
  if (!cResName.empty()) {
    // The resource wins; the file's icon is only kept when there is none.
    if (HICON res = IconFromResource(cResName, "TICON:NEW")) {
      DESTROYICON(icon);
      icon = res;
    }
  }
  if (icon) {
    FreeIcon();
    hIcon = icon;
  }
}

void TIcon::Initiate(HWND hDlg) {
  TControl::Initiate(hDlg);
  LoadIcons();
}

Value TIcon::HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) {
  // A static item would pass clicks through to its parent.
  if (nMsg == WM_NCHITTEST && hWnd) return Value(int64_t(DefWindowProcA(hWnd, nMsg, nWParam, nLParam)));
  return TControl::HandleEvent(nMsg, nWParam, nLParam);
}

Value TIcon::Paint() {
  DRAWICON(hDC, 0, 0, hIcon);
  return Value(0);
}

Value TIcon::Display() {
  TControlPtr keep = SelfCtl();
  BeginPaint();
  // A new visible window may be erased with its class's brush before it is
  // subclassed; the background is the control's own brush whatever came first.
  if (hDC && oBrush && oBrush->hBrush) {
    RECT rc{};
    GetClientRect(hWnd, &rc);
    FillRect(hDC, &rc, oBrush->hBrush);
  }
  Paint();
  EndPaint();
  return Value(0);
}

void TIcon::SetName(const std::string& cName) {
  if (cName.empty()) return;
  HICON icon = IconFromResource(cName, "TICON:SETNAME");
  if (!icon) return;
  cResName = cName;
  FreeIcon();
  hIcon = icon;
  Refresh(true);
}

void TIcon::SetFile(const std::string& cFile) {
  if (!FileExists(cFile)) return;
  HICON icon = IconFromFile(cFile, "TICON:SETFILE");
  if (!icon) return;
  cIcoFile = cFile;
  FreeIcon();
  hIcon = icon;
  Refresh(true);
}

bool TIcon::End() {
  if (!hWnd) {
    Destroy();
    return true;
  }
  return TControl::End();
}

Value TIcon::Destroy() {
  FreeIcon();
  return TControl::Destroy();
}

}  // namespace nx

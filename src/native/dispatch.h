// The seam between Windows and the class library: subclassing, the library
// window procedure, the message loop and pump, the modeless dialog registry,
// the application accelerator table and the window-class natives. This layer
// never sees the classes: it reaches the object behind a window through
// EventTarget and the router the class library installs.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "rt/value.h"

namespace nx {

// What the native layer asks of the object behind a window or dialog. The
// class library implements it (TWindow); objects are held by shared_ptr.
class EventTarget {
 public:
  // Handles one message; NIL asks for default processing.
  virtual Value HandleEvent(UINT nMsg, WPARAM nWParam, LPARAM nLParam) = 0;
  // The procedure the window had before XCHANGEPROC, or nullptr when not subclassed.
  virtual WNDPROC OldProc() const = 0;
  virtual HWND Handle() const = 0;

 protected:
  ~EventTarget() = default;
};
using EventTargetPtr = std::shared_ptr<EventTarget>;

// What the library window procedure learns from the router: the method's
// result and the window procedure that was in place before subclassing.
struct ResultPair {
  Value result;
  WNDPROC oldProc = nullptr;
};
// Finds the object of slot nSlot and hands it the message.
using EventRouter = ResultPair (*)(LPARAM first, UINT nMsg, WPARAM nWParam, LPARAM nLParam, int nSlot);
// Installs the router NxWndProc calls (the class library's _NXH); without
// one every message gets default processing.
void SETEVENTROUTER(EventRouter router);

// Library messages between the library's own windows.
enum : UINT {
  WM_NX_CLICK = 0x0800,
  WM_NX_SBLINEUP = 0x0801,
  WM_NX_SBLINEDOWN = 0x0802,
  WM_NX_SBPAGEUP = 0x0803,
  WM_NX_SBPAGEDOWN = 0x0804,
  WM_NX_CHANGE = 0x0805,
  WM_NX_CTLCOLOR = 0x0806,
  WM_NX_DRAWITEM = 0x0808,
  WM_NX_LOSTFOCUS = 0x0809,
  WM_NX_SBTHUMBPOS = 0x080A,
  WM_NX_HELPF1 = 0x080D,
  WM_NX_SBTHUMBTRACK = 0x080E,
  WM_NX_DROPOVER = 0x080F,
  WM_NX_CHANGEFOCUS = 0x0810,
  WM_NX_SOCKET = 0x0811,
  WM_NX_CLOSEUP = 0x0812,
  WM_NX_TASKBAR = 0x0813,
};

// The library window procedure every window of the library is subclassed with.
LRESULT CALLBACK NxWndProc(HWND hWnd, UINT nMsg, WPARAM nWParam, LPARAM nLParam);

// Stores the slot number in the window's user-data word and installs the
// library window procedure; answers the procedure it replaced.
WNDPROC XCHANGEPROC(HWND hWnd, int nSlot);
// Puts a saved window procedure back; answers the one replaced.
WNDPROC RESTPROC(HWND hWnd, WNDPROC nProc);
void XFREEPROC(WNDPROC nProc);

// The application loop: runs until WM_QUIT.
void WINRUN(HWND hWnd = nullptr);
// Pumps every pending message; false when WM_QUIT was met.
bool SYSREFRESH();
// The message the innermost running SYSREFRESH is dispatching, or nullptr.
// A timer procedure that finds its own WM_TIMER here runs in the middle of
// whatever handler pumped, not in an idle turn of a loop.
const MSG* SysRefreshMessage();
bool LWRUNNING();
HWND GETWNDAPP();
void SETWNDAPP(HWND hWnd);

// Modeless dialogs whose keyboard navigation the loops serve.
constexpr int kMaxModelessDialogs = 1500;
bool REGDIALOG(HWND hDlg);
bool CANREGDIALOG();
bool DEREGDIALOG(HWND hDlg);

// Installs the application accelerator table from { { nKey, nFlags, nId }, ... }
// (FVIRTKEY forced on) and answers its handle; NIL destroys the installed table;
// any other value answers 0.
HACCEL SETACCTABLE(const Value& aKeys = {});
HACCEL GETACCTABLE();

bool REGISTERCLASS(const std::string& cClassName, UINT nStyle, int nClsExtra, int nWndExtra, HINSTANCE hInstance,
                   HCURSOR hCursor, HBRUSH hBrush, const std::string& cMenuName, WNDPROC nWndProc, HICON hIcon);
// The window's class name ("" for a 0 handle).
std::string GETCLASSNAME(HWND hWnd);
// The class record, or nothing when the instance has no such class.
std::optional<WNDCLASSA> GETCLASSINFO(HINSTANCE hInstance, const std::string& cClassName);
HWND CREATEWINDOW(const std::string& cClassName, const std::string& cCaption, DWORD nStyle, int nLeft, int nTop,
                  int nWidth, int nHeight, HWND hWndParent, HMENU nId,
                  std::optional<std::string> cCreationData = std::nullopt);

// A dialog template by resource name or number.
using DialogTemplate = std::variant<std::string, int>;
// Modal dialogs: answer the 16-bit end code.
int DIALOGBOX(HINSTANCE hInstance, const DialogTemplate& cTemplate, HWND hWndOwner,
              EventTargetPtr oDialog);
int DIALOGBOXINDIRECT(HINSTANCE hInstance, std::string_view cTemplateBytes, HWND hWndOwner,
                      EventTargetPtr oDialog);
// Modeless dialogs: answer the dialog's handle or 0.
HWND CREATEDLG(HINSTANCE hInstance, const DialogTemplate& cTemplate, HWND hWndOwner,
               EventTargetPtr oDialog);
HWND CREATEDLGINDIRECT(HINSTANCE hInstance, std::string_view cTemplateBytes, HWND hWndOwner,
                       EventTargetPtr oDialog);
void ENDDIALOG(HWND hDlg, int nResult);

// Multiple-document windows.
// A window procedure that hands every message to the platform's frame
// procedure, with the frame's MDI client as the client window.
WNDPROC GETFRAMEPROC();
// The platform's MDI child procedure.
WNDPROC GETMDICHLPROC();
// The platform's MDI creation record, holding its own class and title.
struct MdiCreateRecord {
  std::string cClass, cTitle;
  MDICREATESTRUCTA rec{};  // szClass and szTitle as Record() fills them
  // The record, pointing into this object's strings.
  const MDICREATESTRUCTA* Record() {
    rec.szClass = cClass.c_str();
    rec.szTitle = cTitle.c_str();
    return &rec;
  }
};
// x = nLeft, y = nTop, width nRight - nLeft + 1, height nBottom - nTop + 1;
// 32768 (the library's "not given") lets the platform choose.
MdiCreateRecord CMDISTRUCT(const std::string& cClass, const std::string& cTitle, int nTop, int nLeft, int nBottom,
                           int nRight, DWORD nStyle, LPARAM lParam = 0);

// An entry of a library loaded at run time, typed; nullptr when missing.
template <class F>
F LibEntry(HMODULE hLib, const char* cName) {
  return hLib ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(hLib, cName))) : nullptr;
}

// Releases the libraries and global atoms the native layer took.
void FREERESOURCES();

// Runs fn and turns any C++ exception or stray BREAK into a runtime error
// raised through the error block; nothing crosses a window procedure.
// Answers false when fn did not complete.
bool GuardedCall(const char* cWhere, const std::function<void()>& fn);

}  // namespace nx

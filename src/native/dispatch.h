// The seam between Windows and the class library: subclassing, the library
// window procedure, the message loop and pump, the modeless dialog registry,
// the application accelerator table and the window-class natives.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "rt/value.h"

namespace nx {

class TWindow;

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
// The class record, or nothing when the instance has no such class.
std::optional<WNDCLASSA> GETCLASSINFO(HINSTANCE hInstance, const std::string& cClassName);
HWND CREATEWINDOW(const std::string& cClassName, const std::string& cCaption, DWORD nStyle, int nLeft, int nTop,
                  int nWidth, int nHeight, HWND hWndParent, HMENU nId,
                  std::optional<std::string> cCreationData = std::nullopt);

// A dialog template by resource name or number.
using DialogTemplate = std::variant<std::string, int>;
// Modal dialogs: answer the 16-bit end code.
int DIALOGBOX(HINSTANCE hInstance, const DialogTemplate& cTemplate, HWND hWndOwner,
              std::shared_ptr<TWindow> oDialog);
int DIALOGBOXINDIRECT(HINSTANCE hInstance, std::string_view cTemplateBytes, HWND hWndOwner,
                      std::shared_ptr<TWindow> oDialog);
// Modeless dialogs: answer the dialog's handle or 0.
HWND CREATEDLG(HINSTANCE hInstance, const DialogTemplate& cTemplate, HWND hWndOwner,
               std::shared_ptr<TWindow> oDialog);
HWND CREATEDLGINDIRECT(HINSTANCE hInstance, std::string_view cTemplateBytes, HWND hWndOwner,
                       std::shared_ptr<TWindow> oDialog);
void ENDDIALOG(HWND hDlg, int nResult);

// Releases the libraries and global atoms the native layer took.
void FREERESOURCES();

// Runs fn and turns any C++ exception or stray BREAK into a runtime error
// raised through the error block; nothing crosses a window procedure.
// Answers false when fn did not complete.
bool GuardedCall(const char* cWhere, const std::function<void()>& fn);

}  // namespace nx

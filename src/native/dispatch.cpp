#include "native/dispatch.h"

#include <algorithm>
#include <exception>
#include <unordered_map>
#include <utility>
#include <vector>

#include "rt/dlgitem.h"
#include "rt/error.h"
#include "rt/frames.h"

namespace nx {

namespace {

// The procedure a window had before subclassing, kept on the window itself so
// that a message arriving while the window has no object still reaches it.
constexpr const char* kOldProcProp = "NxOldProc";

HWND g_hWndApp = nullptr;
bool g_running = false;
HACCEL g_hAccel = nullptr;
const MSG* g_refreshing = nullptr;  // the message the innermost SYSREFRESH dispatches
EventRouter g_router = nullptr;

struct ModelessRegistry {
  std::vector<HWND> slots = std::vector<HWND>(kMaxModelessDialogs, nullptr);
  int highWater = -1;  // highest slot index in use
  HWND cached = nullptr;
} g_modeless;

struct ModalBinding {
  HWND hDlg;
  EventTargetPtr object;
};
constexpr size_t kMaxModalDepth = 50;
std::vector<ModalBinding> g_modal;

// Modeless dialogs keep their object from creation to WM_NCDESTROY.
EventTargetPtr g_pendingModeless;
std::unordered_map<HWND, EventTargetPtr> g_modelessObjects;

void RaiseGuarded(const ErrorPtr& e) {
  try {
    RaiseError(e);
  } catch (...) {
    // The error block itself failed or left by BREAK: the message simply ends.
  }
}

bool OfferToModelessDialogs(MSG& msg) {
  if (g_modeless.cached && IsDialogMessageA(g_modeless.cached, &msg)) return true;
  for (int i = 0; i <= g_modeless.highWater; ++i) {
    HWND h = g_modeless.slots[size_t(i)];
    if (h && h != g_modeless.cached && IsDialogMessageA(h, &msg)) {
      g_modeless.cached = h;
      return true;
    }
  }
  return false;
}

struct RunningScope {
  bool saved = std::exchange(g_running, true);
  ~RunningScope() { g_running = saved; }
};

INT_PTR DialogResult(const Value& r, bool numbersUnchanged) {
  if (numbersUnchanged && r.IsNumber()) return INT_PTR(r.AsInt());
  return r.IsLogical() && r.AsLogical() ? TRUE : FALSE;
}

INT_PTR CALLBACK ModalDialogProc(HWND hDlg, UINT nMsg, WPARAM nWParam, LPARAM nLParam) {
  EventTargetPtr object;
  for (auto it = g_modal.rbegin(); it != g_modal.rend(); ++it) {
    if (it->hDlg == hDlg) {
      object = it->object;
      break;
    }
  }
  if (!object && !g_modal.empty() && !g_modal.back().hDlg) {
    g_modal.back().hDlg = hDlg;
    object = g_modal.back().object;
  }
  if (!object) return FALSE;
  Value r;
  GuardedCall("DIALOGBOX", [&] {
    r = object->HandleEvent(nMsg, nWParam, nMsg == WM_INITDIALOG ? LPARAM(hDlg) : nLParam);
  });
  return DialogResult(r, true);
}

INT_PTR CALLBACK ModelessDialogProc(HWND hDlg, UINT nMsg, WPARAM nWParam, LPARAM nLParam) {
  auto it = g_modelessObjects.find(hDlg);
  EventTargetPtr object;
  if (it != g_modelessObjects.end()) {
    object = it->second;
  } else if (g_pendingModeless) {
    object = std::exchange(g_pendingModeless, nullptr);
    g_modelessObjects[hDlg] = object;
  }
  if (nMsg == WM_NCDESTROY) g_modelessObjects.erase(hDlg);
  if (!object) return FALSE;
  // Once the dialog is linked the library window procedure has offered the
  // message already; this is its default processing.
  if (object->OldProc() && object->Handle() == hDlg) return FALSE;
  Value r;
  GuardedCall("CREATEDLG", [&] {
    r = object->HandleEvent(nMsg, nWParam, nMsg == WM_INITDIALOG ? LPARAM(hDlg) : nLParam);
  });
  return DialogResult(r, false);
}

LPCSTR TemplateName(const DialogTemplate& t) {
  if (auto n = std::get_if<int>(&t)) return MAKEINTRESOURCEA(*n);
  return std::get<std::string>(t).c_str();
}

HINSTANCE Instance(HINSTANCE h) { return h ? h : GetModuleHandleA(nullptr); }

// A movable global copy of in-memory template bytes, freed by its owner.
class TemplateMemory {
 public:
  explicit TemplateMemory(std::string_view bytes) {
    HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    handle_ = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (handle_) {
      if (void* p = GlobalLock(handle_)) {
        std::copy(bytes.begin(), bytes.end(), static_cast<char*>(p));
        GlobalUnlock(handle_);
      }
    }
    SetCursor(old);
  }
  ~TemplateMemory() {
    if (handle_) GlobalFree(handle_);
  }
  TemplateMemory(const TemplateMemory&) = delete;
  TemplateMemory& operator=(const TemplateMemory&) = delete;
  // Locked for the length of the dialog call.
  const DLGTEMPLATE* Lock() { return handle_ ? static_cast<const DLGTEMPLATE*>(GlobalLock(handle_)) : nullptr; }
  void Unlock() {
    if (handle_) GlobalUnlock(handle_);
  }

 private:
  HGLOBAL handle_ = nullptr;
};

// The system parses template bytes without bounds: refuse any template that
// ends before its last item does.
bool PlausibleTemplate(std::string_view bytes) { return DialogTemplateExtent(bytes) != 0; }

}  // namespace

bool GuardedCall(const char* cWhere, const std::function<void()>& fn) {
  try {
    fn();
    return true;
  } catch (BreakSignal&) {
    // BREAK outside any sequence: the handler is abandoned.
  } catch (RuntimeError& e) {
    RaiseGuarded(e.error);
  } catch (std::exception& e) {
    auto err = ErrorNew("Novaxis", 0, 0, std::string("Unhandled exception: ") + e.what(), cWhere ? cWhere : "");
    err->CanDefault = true;
    RaiseGuarded(err);
  } catch (...) {
    auto err = ErrorNew("Novaxis", 0, 0, "Unhandled exception", cWhere ? cWhere : "");
    err->CanDefault = true;
    RaiseGuarded(err);
  }
  return false;
}

LRESULT CALLBACK NxWndProc(HWND hWnd, UINT nMsg, WPARAM nWParam, LPARAM nLParam) {
  int nSlot = LOWORD(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
  // Read before the call: handling WM_DESTROY unlinks the window and forgets it.
  auto savedProc = reinterpret_cast<WNDPROC>(GetPropA(hWnd, kOldProcProp));
  ResultPair pair;
  bool completed = GuardedCall("NXWNDPROC", [&] {
    if (g_router) pair = g_router(nMsg == WM_INITDIALOG ? LPARAM(hWnd) : nLParam, nMsg, nWParam, nLParam, nSlot);
  });
  if (completed && !pair.result.IsNil()) return pair.result.IsNumber() ? LRESULT(pair.result.AsInt()) : 0;
  WNDPROC proc = pair.oldProc ? pair.oldProc : savedProc;
  if (nMsg == WM_NCDESTROY && GetPropA(hWnd, kOldProcProp)) {
    // Destroyed while still subclassed: leave nothing on the dead window.
    SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(savedProc));
    RemovePropA(hWnd, kOldProcProp);
  }
  if (proc && proc != NxWndProc) return CallWindowProcA(proc, hWnd, nMsg, nWParam, nLParam);
  return DefWindowProcA(hWnd, nMsg, nWParam, nLParam);
}

void SETEVENTROUTER(EventRouter router) { g_router = router; }

WNDPROC XCHANGEPROC(HWND hWnd, int nSlot) {
  if (!IsWindow(hWnd)) return nullptr;
  SetWindowLongPtrA(hWnd, GWLP_USERDATA, nSlot);
  auto old = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NxWndProc)));
  if (old != NxWndProc) SetPropA(hWnd, kOldProcProp, reinterpret_cast<HANDLE>(old));
  return old;
}

WNDPROC RESTPROC(HWND hWnd, WNDPROC nProc) {
  if (!IsWindow(hWnd) || !nProc) return nullptr;
  auto replaced =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(nProc)));
  RemovePropA(hWnd, kOldProcProp);
  SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
  return replaced;
}

void XFREEPROC(WNDPROC) {}

void WINRUN(HWND hWnd) {
  RunningScope running;
  HWND savedApp = g_hWndApp;
  if (hWnd) g_hWndApp = hWnd;
  MSG msg{};
  for (;;) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      WaitMessage();
      continue;
    }
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) continue;
    if (msg.message == WM_QUIT) break;
    if (OfferToModelessDialogs(msg)) continue;
    if (!(g_hAccel && TranslateAcceleratorA(g_hWndApp, g_hAccel, &msg))) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  g_hWndApp = savedApp;
}

bool SYSREFRESH() {
  HACCEL accel = std::exchange(g_hAccel, nullptr);
  MSG msg{};
  const MSG* outer = std::exchange(g_refreshing, &msg);
  bool quit = false;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quit = true;
      break;
    }
    if (OfferToModelessDialogs(msg)) continue;
    if (!(accel && g_hWndApp && TranslateAcceleratorA(g_hWndApp, accel, &msg))) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  g_refreshing = outer;
  // The application loop must still see the WM_QUIT the pump swallowed.
  if (quit && g_running) PostQuitMessage(int(msg.wParam));
  // A table installed during the pump wins over the one taken out.
  if (!g_hAccel) g_hAccel = accel;
  return !quit;
}

const MSG* SysRefreshMessage() { return g_refreshing; }

bool LWRUNNING() { return g_running; }
HWND GETWNDAPP() { return g_hWndApp; }
void SETWNDAPP(HWND hWnd) {
  if (!g_hWndApp) g_hWndApp = hWnd;
}

bool REGDIALOG(HWND hDlg) {
  auto free = std::find(g_modeless.slots.begin(), g_modeless.slots.end(), nullptr);
  if (free == g_modeless.slots.end()) return false;
  *free = hDlg;
  g_modeless.highWater = std::max(g_modeless.highWater, int(free - g_modeless.slots.begin()));
  return true;
}

bool CANREGDIALOG() {
  return std::find(g_modeless.slots.begin(), g_modeless.slots.end(), nullptr) != g_modeless.slots.end();
}

bool DEREGDIALOG(HWND hDlg) {
  if (!hDlg) return false;
  auto it = std::find(g_modeless.slots.begin(), g_modeless.slots.end(), hDlg);
  if (it == g_modeless.slots.end()) return false;
  *it = nullptr;
  if (g_modeless.cached == hDlg) g_modeless.cached = nullptr;
  int index = int(it - g_modeless.slots.begin());
  if (index == g_modeless.highWater) {
    int below = index - 1;
    while (below >= 0 && !g_modeless.slots[size_t(below)]) --below;
    if (below >= 0) g_modeless.highWater = below;
  }
  return true;
}

HACCEL SETACCTABLE(const Value& aKeys) {
  if (aKeys.IsNil()) {
    if (g_hAccel) DestroyAcceleratorTable(g_hAccel);
    g_hAccel = nullptr;
    return nullptr;
  }
  if (!aKeys.IsArray()) return nullptr;
  std::vector<ACCEL> entries;
  for (const Value& item : *aKeys.AsArray()) {
    const ArrayPtr& a = item.AsArray();
    if (Len(a) < 3) continue;
    entries.push_back(ACCEL{BYTE(AGet(a, 2).AsInt() | FVIRTKEY), WORD(AGet(a, 1).AsInt()), WORD(AGet(a, 3).AsInt())});
  }
  if (entries.empty()) return nullptr;
  HACCEL h = CreateAcceleratorTableA(entries.data(), int(entries.size()));
  if (h) g_hAccel = h;
  return h;
}

HACCEL GETACCTABLE() { return g_hAccel; }

bool REGISTERCLASS(const std::string& cClassName, UINT nStyle, int nClsExtra, int nWndExtra, HINSTANCE hInstance,
                   HCURSOR hCursor, HBRUSH hBrush, const std::string& cMenuName, WNDPROC nWndProc, HICON hIcon) {
  WNDCLASSA wc{};
  wc.style = nStyle;
  wc.lpfnWndProc = nWndProc ? nWndProc : DefWindowProcA;
  wc.cbClsExtra = nClsExtra;
  wc.cbWndExtra = nWndExtra;
  wc.hInstance = Instance(hInstance);
  wc.hIcon = hIcon;
  wc.hCursor = hCursor;
  wc.hbrBackground = hBrush ? hBrush : reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszMenuName = cMenuName.empty() ? nullptr : cMenuName.c_str();
  wc.lpszClassName = cClassName.c_str();
  return RegisterClassA(&wc) != 0;
}

std::string GETCLASSNAME(HWND hWnd) {
  char name[256] = "";
  if (hWnd) GetClassNameA(hWnd, name, sizeof name);
  return name;
}

std::optional<WNDCLASSA> GETCLASSINFO(HINSTANCE hInstance, const std::string& cClassName) {
  WNDCLASSA wc{};
  if (!GetClassInfoA(hInstance, cClassName.c_str(), &wc)) return std::nullopt;
  return wc;
}

HWND CREATEWINDOW(const std::string& cClassName, const std::string& cCaption, DWORD nStyle, int nLeft, int nTop,
                  int nWidth, int nHeight, HWND hWndParent, HMENU nId, std::optional<std::string> cCreationData) {
  void* data = cCreationData ? static_cast<void*>(cCreationData->data()) : nullptr;
  return CreateWindowExA(0, cClassName.c_str(), cCaption.c_str(), nStyle, nLeft, nTop, nWidth, nHeight, hWndParent,
                         nId, GetModuleHandleA(nullptr), data);
}

int DIALOGBOX(HINSTANCE hInstance, const DialogTemplate& cTemplate, HWND hWndOwner,
              EventTargetPtr oDialog) {
  if (g_modal.size() >= kMaxModalDepth) return -1;
  RunningScope running;
  g_modal.push_back({nullptr, std::move(oDialog)});
  INT_PTR r = DialogBoxParamA(Instance(hInstance), TemplateName(cTemplate), hWndOwner, ModalDialogProc, 0);
  g_modal.pop_back();
  return int(WORD(r));
}

int DIALOGBOXINDIRECT(HINSTANCE hInstance, std::string_view cTemplateBytes, HWND hWndOwner,
                      EventTargetPtr oDialog) {
  if (!PlausibleTemplate(cTemplateBytes) || g_modal.size() >= kMaxModalDepth) return 0;
  TemplateMemory memory(cTemplateBytes);
  const DLGTEMPLATE* tpl = memory.Lock();
  if (!tpl) return 0;
  RunningScope running;
  g_modal.push_back({nullptr, std::move(oDialog)});
  INT_PTR r = DialogBoxIndirectParamA(Instance(hInstance), tpl, hWndOwner, ModalDialogProc, 0);
  g_modal.pop_back();
  memory.Unlock();
  return int(WORD(r));
}

HWND CREATEDLG(HINSTANCE hInstance, const DialogTemplate& cTemplate, HWND hWndOwner,
               EventTargetPtr oDialog) {
  g_pendingModeless = std::move(oDialog);
  HWND h = CreateDialogParamA(Instance(hInstance), TemplateName(cTemplate), hWndOwner, ModelessDialogProc, 0);
  g_pendingModeless = nullptr;
  return h;
}

HWND CREATEDLGINDIRECT(HINSTANCE hInstance, std::string_view cTemplateBytes, HWND hWndOwner,
                       EventTargetPtr oDialog) {
  if (!PlausibleTemplate(cTemplateBytes)) return nullptr;
  TemplateMemory memory(cTemplateBytes);
  const DLGTEMPLATE* tpl = memory.Lock();
  if (!tpl) return nullptr;
  g_pendingModeless = std::move(oDialog);
  HWND h = CreateDialogIndirectParamA(Instance(hInstance), tpl, hWndOwner, ModelessDialogProc, 0);
  g_pendingModeless = nullptr;
  memory.Unlock();
  return h;
}

void ENDDIALOG(HWND hDlg, int nResult) { EndDialog(hDlg, WORD(nResult)); }

void FREERESOURCES() {
  if (g_hAccel) DestroyAcceleratorTable(std::exchange(g_hAccel, nullptr));
}

}  // namespace nx

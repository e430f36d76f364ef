#include "errors/errors.h"

#include <windows.h>

#include <psapi.h>
#include <x86intrin.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "native/dispatch.h"
#include "rt/classes.h"
#include "rt/frames.h"
#include "rt/strings.h"
#include "rt/transform.h"
#include "rt/workarea.h"

namespace nx {

namespace {

struct LibErrorRow {
  const char* description;
  int severity;
  const char* subSystem;
  int subCode;
};

constexpr LibErrorRow kLibErrors[] = {
    {"Non defined Id", 3, "Novaxis", 1},
    {"Duplicated Id", 3, "Novaxis", 2},
    {"Cannot create Dialog Box", 3, "Novaxis", 3},
    {"Memory Low", 1, "BASE", 5300},
    {"GPF occurred", 3, "Novaxis", 5},
    {"Cannot create window or control", 3, "Novaxis", 6},
};

// The program's start, for "Time from start".
const double g_startSeconds = Seconds();
const Date g_startDate = Today();

std::string ProgramPath() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

std::string FileSizeText(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return "0 bytes";
  // "9,999,999 bytes"
  unsigned long size = data.nFileSizeLow;
  std::string digits = std::to_string(size), grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return PadL(grouped, 9) + " bytes";
}

}  // namespace

ErrorPtr _NXGENERROR(int nError, std::string cOperation) {
  if (nError < 1 || nError > int(std::size(kLibErrors))) return nullptr;
  const LibErrorRow& row = kLibErrors[nError - 1];
  auto e = ErrorNew();
  e->Severity = row.severity;
  e->Description = row.description;
  e->CanDefault = row.severity < 3;
  e->SubSystem = row.subSystem ? row.subSystem : "Novaxis";
  e->SubCode = row.subCode ? row.subCode : nError;
  e->Operation = std::move(cOperation);
  return e;
}

Value __LOWMEMERROR() { return RaiseError(_NXGENERROR(4)); }

ErrorPtr _GenError(int nSubCode, const std::string& cClass, const std::string& cMsg) {
  return ErrorNew("BASE", 0, nSubCode, "Message not found", cClass + ":" + cMsg, 2);
}

Value _ClsSetError(const ErrorPtr& oError) { return RaiseError(oError); }

void ErrorLink() {}

void ErrorSys() {
  ErrorBlock([](const ErrorPtr& e) { return ErrorDialog(e); });
  // Ending the program from the handler: give the loop its WM_QUIT, then stop.
  SetQuitHandler([](int code) {
    FREERESOURCES();
    PostQuitMessage(code);
    ExitProcess(UINT(code));
  });
}

std::optional<Value> ErrorSilentRule(const ErrorPtr& e) {
  if (!e) return std::nullopt;
  if (e->GenCode == EG_ZERODIV) return Value(0);
  if (e->GenCode == EG_OPEN && (e->OsCode == 32 || e->OsCode == 5) && e->CanDefault) {
    NetErr(true);
    return Value(false);
  }
  if (e->GenCode == EG_APPENDLOCK && e->CanDefault) {
    NetErr(true);
    return Value(false);
  }
  return std::nullopt;
}

std::string ErrorMessage(const ErrorPtr& e) {
  if (!e) return {};
  std::string s = e->OsCode != 0 ? "(DOS Error " + std::to_string(e->OsCode) + ") "
                                 : (e->Severity > 1 ? "Error " : "Warning ");
  s += e->SubSystem.empty() ? "???" : e->SubSystem;
  s += "/" + std::to_string(e->SubCode);
  if (!e->Description.empty()) s += "  " + e->Description;
  if (!e->FileName.empty()) s += ": " + e->FileName;
  else if (!e->Operation.empty()) s += ": " + e->Operation;
  return s;
}

std::string cGetInfo(const Value& v) {
  if (v.IsString()) return "\"" + v.AsString() + "\"";
  if (v.IsObject()) return "Class: " + cValToChar(v);
  if (v.IsArray()) return "Len: " + PadL(std::to_string(Len(v.AsArray())), 4);
  return cValToChar(v);
}

namespace {

// The frames of the program below the handler's own.
int FirstReportedLevel() {
  int level = 0;
  while (level < FrameDepth() && Upper(ProcName(level)).rfind("ERRORDIALO", 0) == 0) ++level;
  return level;
}

void SystemSection(const std::function<void(const std::string&)>& line) {
  // The processor's clock: its time-stamp counter over a counter-measured slice.
  LARGE_INTEGER freq{}, t0{}, t1{};
  QueryPerformanceFrequency(&freq);
  long mhz = 0;
  if (freq.QuadPart > 0) {
    QueryPerformanceCounter(&t0);
    unsigned long long c0 = __rdtsc();
    do {
      QueryPerformanceCounter(&t1);
    } while (t1.QuadPart - t0.QuadPart < freq.QuadPart / 50);
    unsigned long long c1 = __rdtsc();
    double seconds = double(t1.QuadPart - t0.QuadPart) / double(freq.QuadPart);
    mhz = long(double(c1 - c0) / seconds / 1e6 + 0.5);
  }
  line("   CPU type: " + GetCpu() + " " + std::to_string(mhz) + " Mhz");
  MEMORYSTATUSEX mem{};
  mem.dwLength = sizeof mem;
  GlobalMemoryStatusEx(&mem);
  line("   Hardware memory: " + std::to_string(mem.ullTotalPhys / (1024 * 1024) + 1) + " megs");
  line("");
  line("   Free System resources: " + std::to_string(GetFreeSystemResources(0)) + " %");
  line("        GDI    resources: " + std::to_string(GetFreeSystemResources(1)) + " %");
  line("        User   resources: " + std::to_string(GetFreeSystemResources(2)) + " %");
  line("");
  line(std::string("   Compiler version: Novaxis 9.08, GCC ") + __VERSION__);
  OSVERSIONINFOA os{};
  os.dwOSVersionInfoSize = sizeof os;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&os);
#pragma GCC diagnostic pop
  line("   Windows version: " + std::to_string(os.dwMajorVersion) + "." + std::to_string(os.dwMinorVersion) +
       ", Build " + std::to_string(os.dwBuildNumber) + " " + os.szCSDVersion);
  line("");
  // The tasks: the distinct titles of the visible top-level windows.
  std::vector<std::string> titles;
  HWND start = GetActiveWindow() ? GetActiveWindow() : GetForegroundWindow();
  for (HWND h = start ? GetWindow(start, GW_HWNDFIRST) : GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
    if (!IsWindowVisible(h)) continue;
    char title[256] = "";
    if (GetWindowTextA(h, title, sizeof title) <= 0) continue;
    if (std::find(titles.begin(), titles.end(), title) == titles.end()) titles.push_back(title);
  }
  line("   Windows total applications running: " + std::to_string(titles.size()));
  for (size_t i = 0; i < titles.size(); ++i) line("    " + PadL(std::to_string(i + 1), 3) + " " + titles[i]);
}

void VariablesSection(int first, const std::function<void(const std::string&)>& line) {
  line("   Procedure     Type   Value");
  line("   ==========================");
  for (int level = first; level < FrameDepth() && level < first + 72; ++level) {
    std::string name = ProcName(level);
    if (name.empty()) continue;
    line("   " + Upper(name));
    for (int k = 1; k <= ParamCount(level); ++k) {
      Value v = GetParam(level, k);
      line("     Param " + PadL(std::to_string(k), 3) + ":    " + std::string(1, v.ValType()) + "    " + cGetInfo(v));
    }
    for (int k = 1; k <= LocalCount(level); ++k) {
      Value v = GetLocal(level, k);
      line("     Local " + PadL(std::to_string(k), 3) + ":    " + std::string(1, v.ValType()) + "    " + cGetInfo(v));
    }
  }
}

void DataBasesSection(const std::function<void(const std::string&)>& line) {
  int selected = Select();
  for (int area = 1; area <= kMaxAreas; ++area) {
    std::string alias = Alias(area);
    if (alias.empty()) continue;
    DbSelectArea(area);
    line("");
    line(PadL(std::to_string(area), 3) + ": " + (area == selected ? "=> " : "   ") + PadR(alias, 15) + Space(20) +
         "RddName: " + RddName());
    line("     ==============================");
    line("     RecNo    RecCount    BOF   EOF");
    line("    " + Transform(Value(int64_t(RecNo())), "9999999") + Space(6) +
         Transform(Value(int64_t(RecCount())), "9999999") + Space(6) + cValToChar(Value(Bof())) + Space(3) +
         cValToChar(Value(Eof())));
    line("");
    if (RddName() != kArrayDriver) {
      line("     Indexes in use " + Space(23) + "TagName");
      int focus = IndexOrd();
      for (int order = 1; order <= 15 && order <= OrdCount(); ++order) {
        std::string key = IndexKey(order);
        if (key.empty()) continue;
        std::string bag = OrdBagName(order);
        auto slash = bag.find_last_of("/\\");
        std::string tag = bag.substr(slash == std::string::npos ? 0 : slash + 1);
        if (auto dot = tag.rfind('.'); dot != std::string::npos) tag.resize(dot);
        line(Space(8) + (order == focus ? "=> " : "   ") + PadR(key, 35) + Upper(tag));
      }
      line("");
      line("     Relations in use");  // the work areas keep no relations
    }
  }
  if (selected >= 1) DbSelectArea(selected);
}

}  // namespace

std::string ErrorReportText(const ErrorPtr& e) {
  const char* nl = "\r\n";
  std::string r;
  auto line = [&](const std::string& s) { r += s + nl; };
  std::string path = ProgramPath();
  line("Application");
  line("===========");
  line("   Path and name: " + path + " (32 bits)");
  line("   Size: " + FileSizeText(path));
  long elapsed = long((Today().julian - g_startDate.julian) * 86400.0 + Seconds() - g_startSeconds);
  if (elapsed < 0) elapsed = 0;
  line("   Time from start: " + std::to_string(elapsed / 3600) + " hours " + std::to_string(elapsed / 60 % 60) +
       " mins " + std::to_string(elapsed % 60) + " secs ");
  line("   Error occurred at: " + DToC(Today()) + ", " + Time());
  line("   Error description: " + ErrorMessage(e));
  if (e && e->Args.IsArray()) {
    line("   Args:");
    const ArrayPtr& args = e->Args.AsArray();
    for (size_t i = 1; i <= Len(args); ++i) {
      Value a = AGet(args, i);
      line("     [" + Str(Value(int64_t(i)), 4) + "] = " + std::string(1, a.ValType()) + "   " + cValToChar(a));
    }
  }
  int first = FirstReportedLevel();
  line("");
  line("Stack Calls");
  line("===========");
  for (int level = first; level < FrameDepth() && level < first + 72; ++level) {
    std::string name = ProcName(level);
    if (name.empty()) continue;
    line("   Called from: " + ProcFile(level) + " => " + Upper(name) + "(" + std::to_string(ProcLine(level)) + ")");
  }
  line("");
  line("System");
  line("======");
  SystemSection(line);
  line("");
  line("Variables in use");
  line("================");
  VariablesSection(first, line);
  line("");
  line("Linked RDDs");
  line("===========");
  line(std::string("   ") + kDbfDriver);
  line(std::string("   ") + kArrayDriver);
  line("");
  line("DataBases in use");
  line("================");
  DataBasesSection(line);
  line("");
  line("Classes in use:");
  line("===============");
  std::vector<std::string> classes = ClassesInUse();
  for (size_t i = 0; i < classes.size(); ++i) line("   " + PadL(std::to_string(i + 1), 3) + " " + classes[i]);
  line("");
  line("Memory Analysis");
  line("===============");
  line("      " + std::to_string(nStatics()) + " Static variables");
  line("");
  line("   Dynamic memory consume:");
  line("      Actual  Value: " + std::to_string(MemUsed()) + " bytes");
  line("      Highest Value: " + std::to_string(MemMax()) + " bytes");
  return r;
}

bool ErrorLogWrite(const ErrorPtr& e, const std::string& fileName) {
  return MemoWrit(fileName, ErrorReportText(e));
}

Value ErrorDialog(const ErrorPtr& e) {
  if (auto settled = ErrorSilentRule(e)) return *settled;
  // An error raised while an error is being reported (the handler among the
  // innermost frames): nothing can be reported any more.
  for (int level = 0; level <= 7 && level < FrameDepth(); ++level) {
    if (Upper(ProcName(level)).rfind("ERRORDIALO", 0) == 0) {
      std::string text = "Error while reporting an error: " + ErrorMessage(e) + "\n";
      OutputDebugStringA(text.c_str());
      std::fputs(text.c_str(), stderr);
      QuitProgram(1);
    }
  }
  NX_PROC("ERRORDIALOG");
  std::string report = ErrorReportText(e);
  {
    // A log that cannot be written is skipped without a word.
    ErrorHandler saved = ErrorBlock([](const ErrorPtr&) -> Value { Break(); });
    try {
      Sequence([&] { MemoWrit("Error.log", report); });
    } catch (...) {
    }
    ErrorBlock(std::move(saved));
  }
  std::optional<bool> choice = ErrorDialogBox(e, report);
  // Quit, the close box, or a retry before the application loop runs.
  if (!choice || (*choice && !LWRUNNING())) QuitProgram(1);
  return Value(*choice);
}

void NX_GT() {}

int nStatics() { return 0; }

size_t MemUsed() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  return GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc) ? pmc.PagefileUsage : 0;
}

size_t MemMax() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  return GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc) ? pmc.PeakPagefileUsage : 0;
}

int GetFreeSystemResources(int) { return 90; }

HMODULE LoadLib32(const std::string& cName) { return LoadLibraryA(cName.c_str()); }
bool FreeLib32(HMODULE hLib) { return hLib && FreeLibrary(hLib); }

int ChildLevel(const ObjectPtr& oObj, const ObjectPtr& oClassObj) {
  if (!oObj || !oClassObj) return 0;
  return Upper(oObj->ClassName()) == Upper(oClassObj->ClassName()) ? 1 : 0;
}

}  // namespace nx

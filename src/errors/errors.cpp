#include "errors/errors.h"

#include <windows.h>

#include <cstdio>
#include <fstream>

#include "native/dispatch.h"
#include "rt/frames.h"
#include "rt/strings.h"

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

// Set while the handler reports an error: an error raised by the report
// itself must not start a second report.
bool g_reporting = false;

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
  line("");
  line("Stack Calls");
  line("===========");
  for (int level = 0; level < FrameDepth() && level < 72; ++level) {
    std::string name = ProcName(level);
    if (name.empty()) continue;
    line("   Called from: " + ProcFile(level) + " => " + Upper(name) + "(" + std::to_string(ProcLine(level)) + ")");
  }
  return r;
}

bool ErrorLogWrite(const ErrorPtr& e, const std::string& fileName) {
  return MemoWrit(fileName, ErrorReportText(e));
}

Value ErrorDialog(const ErrorPtr& e) {
  if (auto settled = ErrorSilentRule(e)) return *settled;
  if (g_reporting) QuitProgram(1);  // an error while reporting an error
  g_reporting = true;
  try {
    ErrorLogWrite(e);
  } catch (...) {
    // A log that cannot be written is skipped.
  }
  g_reporting = false;
  // Until the error dialog exists nothing can be retried or defaulted here:
  // the report is written and the program ends.
  QuitProgram(1);
}

}  // namespace nx

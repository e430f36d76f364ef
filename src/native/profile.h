// Profile-file and registry natives over the platform's own functions. File
// names are passed as given: a name without a path is the platform's to place
// (the Windows directory). None of these throws.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace nx {

// Profile texts are read into a 1024-character buffer: at most 1023 come back.
constexpr size_t kProfileText = 1023;

// The system profile.
int GETPROFINT(const std::string& cSection, const std::string& cEntry, int nDefault);
// Without cEntry: every entry name of the section, each followed by a NUL.
std::string GETPROFSTRING(const std::string& cSection, const std::optional<std::string>& cEntry,
                          const std::string& cDefault = "");
bool WRITEPROFSTRING(const std::string& cSection, const std::string& cEntry, const std::string& cValue);

// A profile file.
int GETPVPROFINT(const std::string& cSection, const std::string& cEntry, int nDefault, const std::string& cFile);
std::string GETPVPROFSTRING(const std::string& cSection, const std::optional<std::string>& cEntry,
                            const std::string& cDefault, const std::string& cFile);
bool WRITEPPROSTRING(const std::string& cSection, const std::string& cEntry, const std::string& cValue,
                     const std::string& cFile);
bool DELINISECTION(const std::string& cSection, const std::string& cFile);
bool DELINIENTRY(const std::string& cSection, const std::string& cEntry, const std::string& cFile);
// The section names of a file (at most 4095 characters of them).
std::vector<std::string> GETPVPROFSECTIONS(const std::string& cFile);

// Splits a list of NUL-terminated names.
std::vector<std::string> SplitNul(const std::string& cList);

// Registry keys. Each answers the platform's result code (0 success).
LONG REGCREATEKEY(HKEY hKey, const std::string& cSubKey, HKEY& hResult);
LONG REGDELETEKEY(HKEY hKey, const std::string& cSubKey);
LONG REGOPENKEYEX(HKEY hKey, const std::string& cSubKey, REGSAM nAccess, HKEY& hResult);
LONG REGCLOSEKEY(HKEY hKey);
// The value's type and bytes; nSize alone when cData is null.
LONG REGQUERYVALUEEX(HKEY hKey, const std::string& cEntry, DWORD& nType, std::string* cData, DWORD& nSize);
LONG REGSETVALUEEX(HKEY hKey, const std::string& cEntry, DWORD nType, const void* pData, DWORD nSize);
// The name of sub-key nIndex; ERROR_NO_MORE_ITEMS past the last.
LONG REGENUMKEYEX(HKEY hKey, DWORD nIndex, std::string& cName);

}  // namespace nx

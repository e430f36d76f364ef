#include "native/profile.h"

#include <windows.h>

#include <algorithm>

namespace nx {

namespace {

// A list of names (entries or sections): grown until it fits, so a long
// list is never cut in the middle of a name.
template <class Read>
std::string ReadList(Read read) {
  for (DWORD size = 4096; size <= (1u << 24); size *= 4) {
    std::string buf(size, '\0');
    const DWORD got = read(buf.data(), size);
    if (got < size - 2) {
      buf.resize(got);
      return buf;
    }
  }
  return {};
}

std::string ReadText(const std::string& cSection, const std::optional<std::string>& cEntry,
                     const std::string& cDefault, const char* cFile) {
  if (!cEntry) {
    return ReadList([&](char* p, DWORD n) {
      return cFile ? GetPrivateProfileStringA(cSection.c_str(), nullptr, cDefault.c_str(), p, n, cFile)
                   : GetProfileStringA(cSection.c_str(), nullptr, cDefault.c_str(), p, n);
    });
  }
  char buf[kProfileText + 1] = {};
  const DWORD got =
      cFile ? GetPrivateProfileStringA(cSection.c_str(), cEntry->c_str(), cDefault.c_str(), buf, sizeof buf, cFile)
            : GetProfileStringA(cSection.c_str(), cEntry->c_str(), cDefault.c_str(), buf, sizeof buf);
  return std::string(buf, std::min<size_t>(got, kProfileText));
}

}  // namespace

int GETPROFINT(const std::string& cSection, const std::string& cEntry, int nDefault) {
  return static_cast<int>(GetProfileIntA(cSection.c_str(), cEntry.c_str(), nDefault));
}

std::string GETPROFSTRING(const std::string& cSection, const std::optional<std::string>& cEntry,
                          const std::string& cDefault) {
  return ReadText(cSection, cEntry, cDefault, nullptr);
}

bool WRITEPROFSTRING(const std::string& cSection, const std::string& cEntry, const std::string& cValue) {
  return WriteProfileStringA(cSection.c_str(), cEntry.c_str(), cValue.c_str());
}

int GETPVPROFINT(const std::string& cSection, const std::string& cEntry, int nDefault, const std::string& cFile) {
  return static_cast<int>(GetPrivateProfileIntA(cSection.c_str(), cEntry.c_str(), nDefault, cFile.c_str()));
}

std::string GETPVPROFSTRING(const std::string& cSection, const std::optional<std::string>& cEntry,
                            const std::string& cDefault, const std::string& cFile) {
  return ReadText(cSection, cEntry, cDefault, cFile.c_str());
}

bool WRITEPPROSTRING(const std::string& cSection, const std::string& cEntry, const std::string& cValue,
                     const std::string& cFile) {
  return WritePrivateProfileStringA(cSection.c_str(), cEntry.c_str(), cValue.c_str(), cFile.c_str());
}

bool DELINISECTION(const std::string& cSection, const std::string& cFile) {
  return WritePrivateProfileStringA(cSection.c_str(), nullptr, nullptr, cFile.c_str());
}

bool DELINIENTRY(const std::string& cSection, const std::string& cEntry, const std::string& cFile) {
  return WritePrivateProfileStringA(cSection.c_str(), cEntry.c_str(), nullptr, cFile.c_str());
}

std::vector<std::string> GETPVPROFSECTIONS(const std::string& cFile) {
  char buf[4096] = {};
  const DWORD got = GetPrivateProfileSectionNamesA(buf, sizeof buf, cFile.c_str());
  return SplitNul(std::string(buf, std::min<size_t>(got, sizeof buf - 1)));
}

std::vector<std::string> SplitNul(const std::string& cList) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start < cList.size()) {
    size_t end = cList.find('\0', start);
    if (end == std::string::npos) end = cList.size();
    if (end > start) names.push_back(cList.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

LONG REGCREATEKEY(HKEY hKey, const std::string& cSubKey, HKEY& hResult) {
  hResult = nullptr;
  return RegCreateKeyA(hKey, cSubKey.c_str(), &hResult);
}

LONG REGDELETEKEY(HKEY hKey, const std::string& cSubKey) { return RegDeleteKeyA(hKey, cSubKey.c_str()); }

LONG REGOPENKEYEX(HKEY hKey, const std::string& cSubKey, REGSAM nAccess, HKEY& hResult) {
  hResult = nullptr;
  return RegOpenKeyExA(hKey, cSubKey.c_str(), 0, nAccess, &hResult);
}

LONG REGCLOSEKEY(HKEY hKey) { return RegCloseKey(hKey); }

LONG REGQUERYVALUEEX(HKEY hKey, const std::string& cEntry, DWORD& nType, std::string* cData, DWORD& nSize) {
  if (!cData) return RegQueryValueExA(hKey, cEntry.c_str(), nullptr, &nType, nullptr, &nSize);
  cData->assign(nSize, '\0');
  const LONG rc = RegQueryValueExA(hKey, cEntry.c_str(), nullptr, &nType,
                                   reinterpret_cast<BYTE*>(cData->data()), &nSize);
  if (rc == ERROR_SUCCESS) cData->resize(std::min<size_t>(nSize, cData->size()));
  return rc;
}

LONG REGSETVALUEEX(HKEY hKey, const std::string& cEntry, DWORD nType, const void* pData, DWORD nSize) {
  return RegSetValueExA(hKey, cEntry.c_str(), 0, nType, static_cast<const BYTE*>(pData), nSize);
}

LONG REGENUMKEYEX(HKEY hKey, DWORD nIndex, std::string& cName) {
  char buf[256] = {};
  DWORD size = sizeof buf;
  const LONG rc = RegEnumKeyExA(hKey, nIndex, buf, &size, nullptr, nullptr, nullptr, nullptr);
  cName = rc == ERROR_SUCCESS ? std::string(buf, size) : std::string();
  return rc;
}

}  // namespace nx

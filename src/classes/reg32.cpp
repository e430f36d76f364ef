#include "classes/reg32.h"

#include <algorithm>

#include "classes/ini.h"
#include "native/profile.h"
#include "rt/strings.h"

namespace nx {

namespace {

constexpr REGSAM kReadWrite = 63;  // query, set, create sub-key, enumerate, notify, create link
constexpr REGSAM kReadOnly = 25;   // query, enumerate, notify

std::string RegText(const Value& u) {
  if (u.IsLogical()) return u.AsLogical() ? ".T." : ".F.";
  return SettingText(u);
}

}  // namespace

TReg32::~TReg32() { Close(); }

void TReg32::Open(HKEY hKey, const std::string& cKey) {
  nKey = hKey;
  cRegKey = cKey;
  HKEY h = nullptr;
  nError = REGOPENKEYEX(hKey, cKey, kReadWrite, h);
  if (nError != ERROR_SUCCESS) nError = REGOPENKEYEX(hKey, cKey, kReadOnly, h);
  nHandle = nError == ERROR_SUCCESS ? h : nullptr;
  lError = nError != ERROR_SUCCESS;
}

std::shared_ptr<TReg32> TReg32::New(HKEY hKey, const std::string& cKey) {
  auto reg = std::make_shared<TReg32>();
  reg->Open(hKey, cKey);
  return reg;
}

std::shared_ptr<TReg32> TReg32::Create(HKEY hKey, const std::string& cKey) {
  auto reg = std::make_shared<TReg32>();
  HKEY created = nullptr;
  reg->nError = REGCREATEKEY(hKey, cKey, created);
  if (created) REGCLOSEKEY(created);
  if (reg->nError == ERROR_SUCCESS) {
    reg->Open(hKey, cKey);
  } else {
    reg->nKey = hKey;
    reg->cRegKey = cKey;
    reg->lError = true;
  }
  return reg;
}

Value TReg32::Get(const std::string& cEntry, const Value& uDefault) {
  if (lError) return uDefault;
  DWORD type = 0;
  if (uDefault.IsNumber()) {
    DWORD size = sizeof(DWORD);
    std::string data;
    data.resize(size);
    nError = REGQUERYVALUEEX(nHandle, cEntry, type, &data, size);
    if (nError != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(DWORD)) return uDefault;
    DWORD n = 0;
    std::copy_n(data.data(), sizeof n, reinterpret_cast<char*>(&n));
    return Value(static_cast<long>(static_cast<LONG>(n)));
  }
  DWORD size = 0;
  nError = REGQUERYVALUEEX(nHandle, cEntry, type, nullptr, size);
  if (nError != ERROR_SUCCESS) return uDefault;
  std::string text;
  nError = REGQUERYVALUEEX(nHandle, cEntry, type, &text, size);
  if (nError != ERROR_SUCCESS) return uDefault;
  std::erase(text, '\0');
  return SettingFromText(text, uDefault.ValType());
}

std::optional<std::string> TReg32::GetBinary(const std::string& cEntry) {
  if (lError) return std::nullopt;
  DWORD type = REG_BINARY, size = 0;
  nError = REGQUERYVALUEEX(nHandle, cEntry, type, nullptr, size);
  if (nError != ERROR_SUCCESS) return std::nullopt;
  std::string bytes;
  nError = REGQUERYVALUEEX(nHandle, cEntry, type, &bytes, size);
  if (nError != ERROR_SUCCESS) return std::nullopt;
  return bytes;
}

void TReg32::Set(const std::string& cEntry, const Value& uValue) {
  if (lError) return;
  if (uValue.IsNumber()) {
    const DWORD n = static_cast<DWORD>(uValue.AsInt());
    nError = REGSETVALUEEX(nHandle, cEntry, REG_DWORD, &n, sizeof n);
    return;
  }
  const std::string text = RegText(uValue);
  nError = REGSETVALUEEX(nHandle, cEntry, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void TReg32::Close() {
  if (lError || !nHandle) return;
  nError = REGCLOSEKEY(nHandle);
  nHandle = nullptr;
}

void TReg32::Delete(const std::string& cSubKey) {
  if (lError) return;
  nError = REGDELETEKEY(nHandle, cSubKey);
}

}  // namespace nx

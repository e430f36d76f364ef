// TReg32: typed values of one registry key. Numbers are stored as 32-bit
// values, everything else as text; on reading, the type of the default
// decides the conversion. A key that could not be opened sets lError, and
// every later operation then does nothing (Get answers the default).
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "rt/value.h"

namespace nx {

class TReg32 : public Object {
 public:
  const char* ClassName() const override { return "TREG32"; }
  ~TReg32() override;

  // Opens cKey under hKey (a root or an open key) for reading and writing,
  // or else for reading only.
  static std::shared_ptr<TReg32> New(HKEY hKey, const std::string& cKey = "");
  // Creates the key when missing and opens it.
  static std::shared_ptr<TReg32> Create(HKEY hKey, const std::string& cKey);

  std::string cRegKey;
  HKEY nKey = nullptr;     // the key it was opened under, kept for applications
  HKEY nHandle = nullptr;  // the open key
  LONG nError = 0;         // the platform's result of the last call (0 success)
  bool lError = false;     // set when the key cannot be opened: nothing more is done

  Value Get(const std::string& cEntry, const Value& uDefault = {});
  // The bytes of a binary value; nothing when it cannot be read.
  std::optional<std::string> GetBinary(const std::string& cEntry);
  void Set(const std::string& cEntry, const Value& uValue);
  void Close();
  void Delete(const std::string& cSubKey);

 private:
  void Open(HKEY hKey, const std::string& cKey);
};

}  // namespace nx

// TIni: typed settings in a profile file, or in the system profile when no
// file is named. Values are stored as text; on reading, the type of the
// default decides the conversion (number, date, logical, text).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "rt/value.h"

namespace nx {

class TIni : public Object {
 public:
  const char* ClassName() const override { return "TINI"; }

  // A name without a dot gets ".ini"; "" is the system profile.
  static std::shared_ptr<TIni> New(const std::string& cFile = "");

  std::string cIniFile;
  bool lAutoSet = true;  // a value read as its default is written back

  // The entry converted to the type of uDefault (of uVar when uDefault is
  // NIL); the default when the entry is missing.
  Value Get(const std::string& cSection, const std::string& cEntry, const Value& uDefault = {},
            const Value& uVar = {});
  bool Set(const std::string& cSection, const std::string& cEntry, const Value& uValue);
  std::vector<std::string> Sections() const;
  bool DelSection(const std::string& cSection);
  bool DelEntry(const std::string& cSection, const std::string& cEntry);
};

// A value as settings text: dates with a four-digit year in the current
// date format, so that they read back whatever SET EPOCH is; anything else
// through cValToChar.
std::string SettingText(const Value& u);
// Text as a typed value: "D" a date, "L" true for ".T." in any case,
// "N" a number; any other type keeps the text.
Value SettingFromText(const std::string& cText, char cType);

}  // namespace nx

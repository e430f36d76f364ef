#include "classes/ini.h"

#include "native/profile.h"
#include "rt/strings.h"

namespace nx {

std::string SettingText(const Value& u) {
  if (!u.IsDate()) return cValToChar(u);
  std::string format = SetDateFormat();
  if (size_t y = format.find('y'); y != std::string::npos) {
    size_t end = format.find_first_not_of('y', y);
    format.replace(y, (end == std::string::npos ? format.size() : end) - y, "yyyy");
  }
  std::string previous = SetDateFormat(format);
  std::string text = DToC(u.AsDate());
  SetDateFormat(previous);
  return text;
}

Value SettingFromText(const std::string& cText, char cType) {
  switch (cType) {
    case 'D':
      return CToD(cText);
    case 'L':
      return Upper(cText) == ".T.";
    case 'N':
      return Val(cText);
    default:
      return cText;
  }
}

std::shared_ptr<TIni> TIni::New(const std::string& cFile) {
  auto ini = std::make_shared<TIni>();
  ini->cIniFile = cFile;
  if (!cFile.empty() && cFile.find('.') == std::string::npos) ini->cIniFile += ".ini";
  ini->lAutoSet = true;
  return ini;
}

Value TIni::Get(const std::string& cSection, const std::string& cEntry, const Value& uDefault, const Value& uVar) {
  const char cType = (uDefault.IsNil() ? uVar : uDefault).ValType();
  Value result;
  if (cType == 'N') {
    const int nDefault = static_cast<int>(uDefault.AsInt());
    result = cIniFile.empty() ? GETPROFINT(cSection, cEntry, nDefault)
                              : GETPVPROFINT(cSection, cEntry, nDefault, cIniFile);
  } else {
    const std::string cDefault = SettingText(uDefault);
    const std::string text = cIniFile.empty() ? GETPROFSTRING(cSection, cEntry, cDefault)
                                              : GETPVPROFSTRING(cSection, cEntry, cDefault, cIniFile);
    result = cType == 'D' || cType == 'L' ? SettingFromText(text, cType) : Value(text);
  }
  if (lAutoSet && result == uDefault) Set(cSection, cEntry, uDefault);
  return result;
}

bool TIni::Set(const std::string& cSection, const std::string& cEntry, const Value& uValue) {
  const std::string text = SettingText(uValue);
  return cIniFile.empty() ? WRITEPROFSTRING(cSection, cEntry, text) : WRITEPPROSTRING(cSection, cEntry, text, cIniFile);
}

std::vector<std::string> TIni::Sections() const { return GETPVPROFSECTIONS(cIniFile); }

bool TIni::DelSection(const std::string& cSection) { return DELINISECTION(cSection, cIniFile); }

bool TIni::DelEntry(const std::string& cSection, const std::string& cEntry) {
  return DELINIENTRY(cSection, cEntry, cIniFile);
}

}  // namespace nx

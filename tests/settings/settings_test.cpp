// Typed settings in real profile files, the system profile and the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "classes/ini.h"
#include "classes/reg32.h"
#include "native/profile.h"
#include "rt/strings.h"

namespace {

std::string TempPath(const std::string& name) {
  char dir[MAX_PATH] = {};
  GetTempPathA(sizeof dir, dir);
  return std::string(dir) + name;
}

std::string Slurp(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A profile file of its own for each test, removed afterwards.
class IniFile : public testing::Test {
 protected:
  void SetUp() override {
    file = TempPath("nx_settings_" + std::to_string(GetCurrentProcessId()) + ".ini");
    DeleteFileA(file.c_str());
  }
  void TearDown() override { DeleteFileA(file.c_str()); }
  std::string file;
};

constexpr const char* kRegKey = "Software\\Novaxis\\Tests";

}  // namespace

TEST(Ini, NamesWithoutADotGetIni) {
  EXPECT_EQ(nx::TIni::New("setup")->cIniFile, "setup.ini");
  EXPECT_EQ(nx::TIni::New("setup.cfg")->cIniFile, "setup.cfg");
  EXPECT_EQ(nx::TIni::New("c:\\dir.x\\setup")->cIniFile, "c:\\dir.x\\setup");  // a dot anywhere counts
  auto system = nx::TIni::New();
  EXPECT_EQ(system->cIniFile, "");
  EXPECT_TRUE(system->lAutoSet);
}

TEST_F(IniFile, TypedValuesRoundTripThroughTheFile) {
  auto ini = nx::TIni::New(file);
  const nx::Date day = nx::MakeDate(2024, 2, 29);
  ASSERT_TRUE(ini->Set("Window", "Top", 120));
  ASSERT_TRUE(ini->Set("Window", "Opened", day));
  ASSERT_TRUE(ini->Set("Window", "Maximized", true));
  ASSERT_TRUE(ini->Set("Window", "Title", "Orders"));
  // The platform wrote a real profile file.
  const std::string text = Slurp(file);
  EXPECT_NE(text.find("[Window]"), std::string::npos);
  EXPECT_NE(text.find("Top=120"), std::string::npos);
  EXPECT_NE(text.find("Maximized=.T."), std::string::npos);
  // A two-digit year would read back a century early under SET EPOCH 1900.
  EXPECT_NE(text.find("Opened=02/29/2024"), std::string::npos);

  ini->lAutoSet = false;
  EXPECT_EQ(ini->Get("Window", "Top", 0), nx::Value(120));
  EXPECT_EQ(ini->Get("Window", "Opened", nx::Date{}), nx::Value(day));
  EXPECT_EQ(ini->Get("Window", "Maximized", false), nx::Value(true));
  EXPECT_EQ(ini->Get("Window", "Title", ""), nx::Value("Orders"));
  // Without a default the variable's type decides.
  EXPECT_EQ(ini->Get("Window", "Top", {}, 7), nx::Value(120));
  EXPECT_EQ(ini->Get("Window", "Maximized", {}, false), nx::Value(true));

  // Logicals: ".T." in any case is true, any other text false.
  ini->Set("Flags", "a", ".t.");
  ini->Set("Flags", "b", "yes");
  ini->Set("Flags", "c", ".T.F.");
  EXPECT_EQ(ini->Get("Flags", "a", false), nx::Value(true));
  EXPECT_EQ(ini->Get("Flags", "b", true), nx::Value(false));
  EXPECT_EQ(ini->Get("Flags", "c", true), nx::Value(false));

  const auto sections = ini->Sections();
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_EQ(sections[0], "Window");
  EXPECT_EQ(sections[1], "Flags");
  EXPECT_TRUE(ini->DelEntry("Window", "Title"));
  EXPECT_EQ(ini->Get("Window", "Title", "none"), nx::Value("none"));
  EXPECT_TRUE(ini->DelSection("Flags"));
  EXPECT_EQ(ini->Sections().size(), 1u);
}

TEST_F(IniFile, MissingEntriesAnswerTheDefaultAndAutoSetWritesIt) {
  auto ini = nx::TIni::New(file);
  ini->lAutoSet = false;
  EXPECT_EQ(ini->Get("Grid", "Rows", 25), nx::Value(25));
  EXPECT_EQ(Slurp(file), "");  // nothing written
  ini->lAutoSet = true;
  EXPECT_EQ(ini->Get("Grid", "Rows", 25), nx::Value(25));
  EXPECT_EQ(nx::GETPVPROFSTRING("Grid", std::string("Rows"), "", file), "25");
  EXPECT_EQ(ini->Get("Grid", "Lines", true), nx::Value(true));
  EXPECT_EQ(nx::GETPVPROFSTRING("Grid", std::string("Lines"), "", file), ".T.");
  // A value that differs from the default is not rewritten.
  nx::WRITEPPROSTRING("Grid", "Cols", "9", file);
  EXPECT_EQ(ini->Get("Grid", "Cols", 4), nx::Value(9));
  EXPECT_EQ(nx::GETPVPROFSTRING("Grid", std::string("Cols"), "", file), "9");
}

TEST_F(IniFile, LongTextsAreCutTo1023Characters) {
  const std::string longText(2000, 'x');
  ASSERT_TRUE(nx::WRITEPPROSTRING("Notes", "Text", longText, file));
  auto ini = nx::TIni::New(file);
  const nx::Value v = ini->Get("Notes", "Text", "");
  EXPECT_EQ(v.AsString(), std::string(1023, 'x'));
  EXPECT_NE(Slurp(file).find(longText), std::string::npos);  // the file keeps it whole
}

TEST(Ini, SystemProfileWithoutAFile) {
  const std::string section = "NovaxisTest" + std::to_string(GetCurrentProcessId());
  auto ini = nx::TIni::New();
  ASSERT_TRUE(ini->Set(section, "Count", 3));
  EXPECT_EQ(ini->Get(section, "Count", 0), nx::Value(3));
  EXPECT_EQ(nx::GETPROFINT(section, "Count", 0), 3);
  EXPECT_EQ(nx::GETPROFSTRING(section, std::nullopt), std::string("Count") + '\0');
  WriteProfileStringA(section.c_str(), nullptr, nullptr);
  EXPECT_EQ(nx::GETPROFINT(section, "Count", -1), -1);
}

TEST(Registry, TypedValuesRoundTripUnderTheCurrentUser) {
  RegDeleteKeyA(HKEY_CURRENT_USER, kRegKey);
  auto reg = nx::TReg32::Create(HKEY_CURRENT_USER, kRegKey);
  ASSERT_FALSE(reg->lError);
  ASSERT_TRUE(reg->nHandle);
  EXPECT_EQ(reg->cRegKey, kRegKey);
  const nx::Date day = nx::MakeDate(1999, 12, 31);
  reg->Set("Count", 42);
  EXPECT_EQ(reg->nError, 0);
  reg->Set("Negative", -7);
  reg->Set("Name", "Novaxis");
  reg->Set("Since", day);
  reg->Set("Enabled", true);
  reg->Set("Ratio", "2.5");
  const BYTE blob[] = {0, 1, 2, 255};
  ASSERT_EQ(RegSetValueExA(reg->nHandle, "Blob", 0, REG_BINARY, blob, sizeof blob), ERROR_SUCCESS);
  reg->Close();

  // Read back through another object and the platform's own view.
  auto again = nx::TReg32::New(HKEY_CURRENT_USER, kRegKey);
  ASSERT_FALSE(again->lError);
  EXPECT_EQ(again->Get("Count", 0), nx::Value(42));
  EXPECT_EQ(again->Get("Negative", 0), nx::Value(-7));
  EXPECT_EQ(again->Get("Name", ""), nx::Value("Novaxis"));
  EXPECT_EQ(again->Get("Since", nx::Date{}), nx::Value(day));
  EXPECT_EQ(again->Get("Enabled", false), nx::Value(true));
  EXPECT_EQ(again->Get("Ratio", 1.5).AsNumber(), 1.5);  // a text value is no 32-bit number
  EXPECT_EQ(again->Get("Ratio", "").AsString(), "2.5");
  EXPECT_EQ(again->GetBinary("Blob"), std::string("\x00\x01\x02\xff", 4));
  DWORD type = 0, size = 0;
  ASSERT_EQ(RegQueryValueExA(again->nHandle, "Count", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  ASSERT_EQ(RegQueryValueExA(again->nHandle, "Enabled", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

  // Missing values answer the default and record the platform's code.
  EXPECT_EQ(again->Get("Missing", 5), nx::Value(5));
  EXPECT_EQ(again->nError, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(again->Get("Missing", "x"), nx::Value("x"));
  EXPECT_FALSE(again->GetBinary("Missing"));

  // Sub-keys.
  auto child = nx::TReg32::Create(again->nHandle, "Child");
  ASSERT_FALSE(child->lError);
  child->Close();
  again->Delete("Child");
  EXPECT_EQ(again->nError, 0);
  EXPECT_TRUE(nx::TReg32::New(again->nHandle, "Child")->lError);
  again->Close();
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, kRegKey), ERROR_SUCCESS);
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Novaxis");
}

TEST(Registry, AKeyThatCannotBeOpenedSetsTheErrorAndDoesNothing) {
  auto reg = nx::TReg32::New(HKEY_CURRENT_USER, "Software\\Novaxis\\No such key");
  EXPECT_TRUE(reg->lError);
  EXPECT_EQ(reg->nError, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg->nHandle, nullptr);
  EXPECT_EQ(reg->Get("Anything", 9), nx::Value(9));
  EXPECT_EQ(reg->Get("Anything", true), nx::Value(true));
  reg->Set("Anything", 1);  // does nothing, raises nothing
  reg->Close();
  EXPECT_EQ(reg->nError, ERROR_FILE_NOT_FOUND);
  HKEY h = nullptr;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Novaxis\\No such key", 0, KEY_READ, &h), ERROR_SUCCESS);
}

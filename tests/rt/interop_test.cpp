// Interoperability with independent DBF readers and writers (Debian's Python
// dbfread and dbf packages), run for real where the host has them.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <cstdio>
#include <cstdlib>

#include "data_support.h"
#include "rt/strings.h"
#include "rt/workarea.h"

using namespace nx;

namespace {

const char* kPython = "/usr/bin/python3";

bool HavePython(const char* module) {
  std::string cmd = std::string(kPython) + " -c 'import " + module + "' >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0;
}

// Runs a Python script; answers its standard output.
std::string RunPython(const nxtest::ScratchDir& dir, const std::string& script, const std::string& arg) {
  std::string file = dir.Path("script.py");
  nxtest::WriteBytes(file, script);
  std::string out = dir.Path("out.txt");
  std::string cmd = std::string(kPython) + " " + file + " '" + arg + "' > " + out + " 2>&1";
  int rc = std::system(cmd.c_str());
  std::string text = nxtest::ReadBytes(out);
  EXPECT_EQ(rc, 0) << text;
  return text;
}

void WriteSample(const std::string& path) {
  ASSERT_TRUE(DbCreate(path, Value(NewArray({Value(NewArray({"NAME", "C", 10, 0})), Value(NewArray({"PRICE", "N", 9, 2})),
                                            Value(NewArray({"QTY", "N", 4, 0})), Value(NewArray({"DAY", "D", 8, 0})),
                                            Value(NewArray({"PAID", "L", 1, 0})), Value(NewArray({"NOTES", "M", 10, 0}))}))));
  ASSERT_TRUE(DbUseArea(true, "", path, "SAMPLE", false));
  DbAppend();
  FieldPut(1, "Widget");
  FieldPut(2, Value(19.99, 2));
  FieldPut(3, 12);
  FieldPut(4, MakeDate(2024, 2, 29));
  FieldPut(5, true);
  FieldPut(6, "line one\r\nline two");
  DbAppend();
  FieldPut(1, "Gone");
  FieldPut(3, -3);
  DbDelete();
  DbAppend();
  FieldPut(1, "Big");
  FieldPut(2, Value(-1234.5, 2));
  FieldPut(6, std::string(700, 'z'));
  DbCloseArea();
}

}  // namespace

// Fields a record never had written stay blank, which both readers show as None.
TEST(Interop, DbfreadReadsOurFiles) {
  if (!HavePython("dbfread")) GTEST_SKIP() << "python3-dbfread not installed";
  nxtest::ScratchDir dir;
  std::string path = dir.Path("sample.dbf");
  WriteSample(path);
  std::string out = RunPython(dir, R"(
import sys
from dbfread import DBF
t = DBF(sys.argv[1], load=True)
print(len(t.records), len(t.deleted), t.date.isoformat() if t.date else None)
for r in t.records:
    print(repr((r['NAME'], r['PRICE'], r['QTY'], r['DAY'] and r['DAY'].isoformat(), r['PAID'], len(r['NOTES'] or ''), (r['NOTES'] or '')[:8])))
print(repr(t.deleted[0]['NAME']))
)", path);
  int y, m, d;
  SplitDate(Today(), y, m, d);
  char today[16];
  std::snprintf(today, sizeof today, "%04d-%02d-%02d", y, m, d);
  EXPECT_EQ(out, std::string("2 1 ") + today + "\n"
                 "('Widget', 19.99, 12, '2024-02-29', True, 18, 'line one')\n"
                 "('Big', -1234.5, None, None, None, 700, 'zzzzzzzz')\n"
                 "'Gone'\n");
}

TEST(Interop, PythonDbfReadsOurFiles) {
  if (!HavePython("dbf")) GTEST_SKIP() << "python3-dbf not installed";
  nxtest::ScratchDir dir;
  std::string path = dir.Path("sample.dbf");
  WriteSample(path);
  std::string out = RunPython(dir, R"(
import sys, dbf
t = dbf.Table(sys.argv[1])
t.open(dbf.READ_ONLY)
print(len(t), t.field_names)
for r in t:
    print(repr((r.name.strip(), float(r.price or 0), r.qty, str(r.day) if r.day else None, r.paid, len(r.notes or ''), dbf.is_deleted(r))))
t.close()
)", path);
  EXPECT_EQ(out, "3 ['name', 'price', 'qty', 'day', 'paid', 'notes']\n"
                 "('Widget', 19.99, 12, '2024-02-29', True, 18, False)\n"
                 "('Gone', 0.0, -3, None, None, 0, True)\n"
                 "('Big', -1234.5, None, None, None, 700, False)\n");
}

TEST(Interop, WeReadPythonDbfFiles) {
  if (!HavePython("dbf")) GTEST_SKIP() << "python3-dbf not installed";
  nxtest::ScratchDir dir;
  nxtest::AreasClosed closed;
  std::string path = dir.Path("theirs.dbf");
  RunPython(dir, R"(
import sys, dbf, datetime
t = dbf.Table(sys.argv[1], 'name C(12); amount N(8,2); born D; ok L; notes M', dbf_type='db3')
t.open(dbf.READ_WRITE)
t.append(('Zoe', 12.75, datetime.date(1999, 12, 31), True, 'memo from python'))
t.append(('Al', -3.5, None, False, ''))
t.append(('Cut', 1, datetime.date(2000, 1, 1), True, 'x' * 1000))
dbf.delete(t[2])
t.close()
)", path);
  ASSERT_TRUE(DbUseArea(true, "", path, "THEIRS", false));
  EXPECT_EQ(RecCount(), 3);
  EXPECT_EQ(FieldName(2), "AMOUNT");
  EXPECT_EQ(Trim(FieldGet(1).AsString()), "Zoe");
  EXPECT_DOUBLE_EQ(FieldGet(2).AsNumber(), 12.75);
  EXPECT_EQ(FieldGet(3).AsDate(), MakeDate(1999, 12, 31));
  EXPECT_TRUE(FieldGet(4).AsLogical());
  EXPECT_EQ(FieldGet(5).AsString(), "memo from python");
  DbSkip();
  EXPECT_DOUBLE_EQ(FieldGet(2).AsNumber(), -3.5);
  EXPECT_TRUE(FieldGet(3).AsDate().Empty());
  EXPECT_EQ(FieldGet(5).AsString(), "");
  DbSkip();
  EXPECT_TRUE(Deleted());
  EXPECT_EQ(FieldGet(5).AsString(), std::string(1000, 'x'));
  // Our changes to their file read back in their reader.
  DbGoTo(2);
  FieldPut(1, "Alan");
  FieldPut(5, "added here");
  DbAppend();
  FieldPut(1, "New");
  DbCloseArea();
  std::string out = RunPython(dir, R"(
import sys, dbf
t = dbf.Table(sys.argv[1])
t.open(dbf.READ_ONLY)
print(len(t), [r.name.strip() for r in t], t[1].notes)
t.close()
)", path);
  EXPECT_EQ(out, "4 ['Zoe', 'Alan', 'Cut', 'New'] added here\n");
}
#endif

// Interoperability with independent DBF readers and writers (Debian's Python
// dbfread and dbf packages) and an independent index reader (Perl's
// XBase::Index), run for real where the host has them.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>

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

bool HavePerlXBase() { return std::system("perl -MXBase::Index -e 1 >/dev/null 2>&1") == 0; }

std::string RunPerl(const nxtest::ScratchDir& dir, const std::string& script, const std::string& args) {
  std::string file = dir.Path("script.pl");
  nxtest::WriteBytes(file, script);
  std::string out = dir.Path("perl.txt");
  int rc = std::system(("perl " + file + " " + args + " > " + out + " 2>&1").c_str());
  std::string text = nxtest::ReadBytes(out);
  EXPECT_EQ(rc, 0) << text.substr(0, 2000);
  return text;
}

// Our walk of an order as "key<TAB>record" lines: names without trailing
// blanks, amounts with two decimals.
std::string OurWalk(const std::string& tag) {
  OrdSetFocus(tag);
  bool numeric = tag == "BYAMOUNT";
  std::ostringstream out;
  for (DbGoTop(); !Eof(); DbSkip())
    out << (numeric ? FormatFixed(FieldGet(2).AsNumber(), 2) : Trim(FieldGet(1).AsString())) << '\t' << RecNo() << '\n';
  return out.str();
}

// The first line where two walks part, for a readable failure.
std::string FirstDifference(const std::string& a, const std::string& b) {
  std::istringstream x(a), y(b);
  std::string la, lb;
  for (int line = 1;; ++line) {
    bool ga = bool(std::getline(x, la)), gb = bool(std::getline(y, lb));
    if (!ga && !gb) return "none";
    if (la != lb || ga != gb) return "line " + std::to_string(line) + ": ours '" + la + "', theirs '" + lb + "'";
  }
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

#ifndef _WIN32
// 100,000 keys: built at once, then changed record by record (keys moved,
// records appended) so that pages have been split and merged, and read by an
// independent reader in the same order with the same record numbers.
TEST(Interop, PerlXBaseReadsOurIndexesInOurOrder) {
  if (!HavePerlXBase()) GTEST_SKIP() << "libdbd-xbase-perl not installed";
  nxtest::ScratchDir dir;
  nxtest::AreasClosed closed;
  std::string path = dir.Path("big.dbf");
  ASSERT_TRUE(DbCreate(path, Value(NewArray({Value(NewArray({"NAME", "C", 12, 0})), Value(NewArray({"AMOUNT", "N", 10, 2}))}))));
  ASSERT_TRUE(DbUseArea(true, "", path, "BIG", false));
  std::mt19937 rng(100000);
  auto name = [&] {
    std::string n;
    for (int i = 0; i < 3; ++i) n += char('A' + rng() % 26);  // 17,576 names: many repeat
    return n + "x";
  };
  auto amount = [&] { return Value((double(rng() % 2000001) - 1000000) / 100, 2); };
  for (int i = 0; i < 95000; ++i) {
    DbAppend();
    FieldPut(1, name());
    FieldPut(2, amount());
  }
  ASSERT_TRUE(OrdCreate("BYNAME", "NAME"));
  ASSERT_TRUE(OrdCreate("BYAMOUNT", "AMOUNT"));
  for (int i = 0; i < 5000; ++i) {
    DbGoTo(long(1 + rng() % 95000));
    FieldPut(1, name());
    FieldPut(2, amount());
    DbAppend();
    FieldPut(1, name());
    FieldPut(2, amount());
  }
  ASSERT_EQ(OrdKeyCount(), 100000);
  DbCloseArea();
  ASSERT_TRUE(DbUseArea(true, "", path, "BIG", false, false, {"BYNAME", "BYAMOUNT"}));
  std::string byName = OurWalk("BYNAME"), byAmount = OurWalk("BYAMOUNT");
  std::string script = R"(
use strict;
use XBase::Index;
my ($file, $type) = @ARGV;
my $ix = XBase::Index->new($file, type => $type) or die XBase::Index->errstr;
$ix->prepare_select;
while (my ($key, $rec) = $ix->fetch) {
  if ($type eq 'N') { printf "%.2f\t%d\n", $key, $rec; } else { $key =~ s/\s+$//; print "$key\t$rec\n"; }
}
)";
  std::string theirsByName = RunPerl(dir, script, dir.Path("BYNAME.ntx") + " C");
  std::string theirsByAmount = RunPerl(dir, script, dir.Path("BYAMOUNT.ntx") + " N");
  EXPECT_EQ(std::count(byName.begin(), byName.end(), '\n'), 100000);
  EXPECT_TRUE(byName == theirsByName) << FirstDifference(byName, theirsByName);
  EXPECT_TRUE(byAmount == theirsByAmount) << FirstDifference(byAmount, theirsByAmount);
}

// The other way: an index written from the file layout alone by an
// independent writer (here in Python): its own page fill, item slots in
// shuffled order, a free-page pointer we do not use. We read it, change the
// table through it, and the result reads back in the same order as a rebuild.
TEST(Interop, WeReadAndKeepAnIndexWrittenElsewhere) {
  nxtest::ScratchDir dir;
  nxtest::AreasClosed closed;
  std::string path = dir.Path("names.dbf");
  ASSERT_TRUE(DbCreate(path, Value(NewArray({Value(NewArray({"NAME", "C", 8, 0}))}))));
  ASSERT_TRUE(DbUseArea(true, "", path, "N", false));
  std::mt19937 rng(7);
  std::string keys;
  for (int i = 1; i <= 3000; ++i) {
    std::string n = "w" + StrZero(Value(long(rng() % 1500)), 4);
    DbAppend();
    FieldPut(1, n);
    keys += PadR(n, 8) + "\n";
  }
  DbCloseArea();
  nxtest::WriteBytes(dir.Path("keys.txt"), keys);
  RunPython(dir, R"(
import sys, struct, random
folder = sys.argv[1]
keys = [l.rstrip('\n') for l in open(folder + '/keys.txt')]
entries = sorted((k.encode(), r) for r, k in enumerate(keys, 1))
KEY = 8; ITEM = KEY + 8; MAX = 1022 // (KEY + 10) - 1; FILL = 37
rnd = random.Random(3)
pages = []
def page(items, children):
    slots = list(range(MAX + 1)); rnd.shuffle(slots)
    table = 2 + 2 * (MAX + 1)
    body = bytearray(1024)
    struct.pack_into('<H', body, 0, len(items))
    for i in range(MAX + 1):
        struct.pack_into('<H', body, 2 + 2 * i, table + slots[i] * ITEM)
    for i in range(len(items) + 1):
        at = table + slots[i] * ITEM
        struct.pack_into('<I', body, at, children[i] if children else 0)
        if i < len(items):
            struct.pack_into('<I', body, at + 4, items[i][1])
            body[at + 8:at + 8 + KEY] = items[i][0]
    pages.append(body)
    return 1024 * len(pages)
level, children = entries, None
while True:
    if len(level) <= MAX:
        root = page(level, children); break
    up, upc, i, c = [], [], 0, 0
    while i < len(level):
        take = min(FILL, len(level) - i)
        if len(level) - i - take == 1: take += 1
        upc.append(page(level[i:i + take], children[c:c + take + 1] if children else None))
        i += take; c += take + 1
        if i < len(level): up.append(level[i]); i += 1
    level, children = up, upc
head = bytearray(1024)
struct.pack_into('<HHIIHHHHH', head, 0, 6, 1, root, 1024 * (len(pages) + 1), ITEM, KEY, 0, MAX, MAX // 2)
head[22:26] = b'NAME'
open(folder + '/THEIRS.ntx', 'wb').write(bytes(head) + b''.join(pages) + bytes(1024))
)", dir.Path(""));
  ASSERT_TRUE(DbUseArea(true, "", path, "N", false, false, {"THEIRS"}));
  EXPECT_EQ(OrdSetFocus(), "THEIRS");
  std::vector<long> theirs;
  for (DbGoTop(); !Eof(); DbSkip()) theirs.push_back(RecNo());
  ASSERT_EQ(theirs.size(), 3000u);
  EXPECT_TRUE(DbSeek("w0750"));
  for (int i = 0; i < 400; ++i) {
    DbGoTo(long(1 + rng() % 3000));
    FieldPut(1, "x" + StrZero(Value(long(rng() % 500)), 4));
  }
  std::vector<long> kept;
  for (DbGoTop(); !Eof(); DbSkip()) kept.push_back(RecNo());
  ASSERT_TRUE(OrdCreate("REBUILT", "NAME"));
  std::vector<long> rebuilt;
  for (DbGoTop(); !Eof(); DbSkip()) rebuilt.push_back(RecNo());
  EXPECT_EQ(kept, rebuilt);
}
#endif

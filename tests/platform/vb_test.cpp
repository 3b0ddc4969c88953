#include "platform/vb.h"

#include <gtest/gtest.h>

#include <QFile>
#include <cmath>
#include <ctime>
#include <limits>

using namespace vb;

TEST(VbStr, LeadingBlankOnlyForNonNegative) {
  EXPECT_EQ(Str(5LL), " 5");
  EXPECT_EQ(Str(0LL), " 0");
  EXPECT_EQ(Str(-12LL), "-12");
  EXPECT_EQ(D(7LL), "7");
  EXPECT_EQ(Str(2.5), " 2.5");
  EXPECT_EQ(Str(0.5), " .5");
  EXPECT_EQ(Str(-0.25), "-.25");
  EXPECT_EQ(Str(1000.0), " 1000");
  EXPECT_EQ(Str(-0.0), " 0");
  EXPECT_EQ(Str(1e16), " 1E+16");
  EXPECT_EQ(Str(0.7f), " .7");  // a Single keeps seven digits
  EXPECT_EQ(Str(static_cast<std::int16_t>(5)), " 5");
  EXPECT_EQ(Str(-3L), "-3");
}

TEST(VbVal, ReadsTheLeadingNumberLikeVb) {
  EXPECT_EQ(Val("  42abc"), 42);
  EXPECT_EQ(Val("-17"), -17);
  EXPECT_EQ(Val("+3.5x"), 3.5);
  EXPECT_EQ(Val(".25"), 0.25);
  EXPECT_EQ(Val("1 615 198th Street"), 1615198);
  EXPECT_EQ(Val("\t1\n2"), 12);
  EXPECT_EQ(Val("1.5e3"), 1500);
  EXPECT_EQ(Val("2D2"), 200);
  EXPECT_EQ(Val("1e"), 1);       // an exponent without digits is ignored
  EXPECT_EQ(Val("1.2.3"), 1.2);  // a second point ends the number
  EXPECT_EQ(Val("&HFF"), 255);
  EXPECT_EQ(Val("&hFFFF"), -1);  // 16-bit Integer
  EXPECT_EQ(Val("&H10000"), 65536);
  EXPECT_EQ(Val("&HFFFFFFFF"), -1);  // 32-bit Long
  EXPECT_EQ(Val("&O17"), 15);
  EXPECT_EQ(Val("&O8"), 0);
  EXPECT_EQ(Val(""), 0);
  EXPECT_EQ(Val("abc"), 0);
  EXPECT_EQ(Val("-"), 0);
  EXPECT_EQ(Val("."), 0);
  EXPECT_EQ(Val("1e999"), 0);  // too large to hold: no number
  EXPECT_EQ(Val("&H1FFFFFFFF"), 0);
}

TEST(VbNumbers, CIntRoundsHalfToEvenAndClamps) {
  EXPECT_EQ(CInt(0.5), 0);
  EXPECT_EQ(CInt(1.5), 2);
  EXPECT_EQ(CInt(2.5), 2);
  EXPECT_EQ(CInt(-2.5), -2);
  EXPECT_EQ(CInt(-3.5), -4);
  EXPECT_EQ(CInt(2.6), 3);
  EXPECT_EQ(CInt(40000.0), 32767);
  EXPECT_EQ(CInt(-40000.0), -32768);
  EXPECT_EQ(CInt(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(CInt(std::numeric_limits<double>::infinity()), 32767);
  EXPECT_EQ(Int(-2.5), -3);
  EXPECT_EQ(Int(2.9), 2);
  EXPECT_EQ(Clamp16(70000), 32767);
  EXPECT_EQ(Clamp16(-70000), -32768);
  EXPECT_EQ(Clamp16(-5), -5);
  EXPECT_EQ(SaturatingAdd(32760, 100), 32767);
  EXPECT_EQ(SaturatingAdd(32767, 1), 32767);
  EXPECT_EQ(SaturatingAdd(10, -3), 7);
  EXPECT_EQ(SaturatingAdd(-32768, -1), -32768);
  EXPECT_EQ(FromBool(true), -1);
  EXPECT_TRUE(ToBool(-1));
}

TEST(VbText, TrimAndOneBasedArithmetic) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("\ta "), "\ta");  // only blanks
  EXPECT_EQ(TrimRecord(QString("Ann") + QChar(0) + "  " + QChar(0)), "Ann");
  EXPECT_EQ(TrimRecord(QString(3, QChar(0))), "");
  EXPECT_EQ(Mid("Hello", 2, 3), "ell");
  EXPECT_EQ(Mid("Hello", 4), "lo");
  EXPECT_EQ(Mid("Hello", 9), "");
  EXPECT_EQ(Mid("Hello", 0, 2), "He");
  EXPECT_EQ(Left("Hello", 2), "He");
  EXPECT_EQ(Left("Hello", -1), "");
  EXPECT_EQ(Left("Hi", 9), "Hi");
  EXPECT_EQ(Right("Hello", 3), "llo");
  EXPECT_EQ(Right("Hello", 0), "");
  EXPECT_EQ(InStr("a,b,c", ","), 2);
  EXPECT_EQ(InStr("a,b,c", ",", 3), 4);
  EXPECT_EQ(InStr("a,b,c", ";"), 0);
  EXPECT_EQ(InStr("abc", "", 2), 2);
  EXPECT_EQ(InStr("abc", "c", 4), 0);
  EXPECT_EQ(InStr("", "a"), 0);
}

TEST(VbCp1252, EveryByteRoundTrips) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
  QString text = FromCp1252(all);
  ASSERT_EQ(text.size(), 256);
  EXPECT_EQ(ToCp1252(text), all);
  EXPECT_EQ(text[0x80], QChar(0x20AC));
  EXPECT_EQ(text[0x92], QChar(0x2019));
  EXPECT_EQ(text[0x9F], QChar(0x0178));
  EXPECT_EQ(text[0x81], QChar(0x0081));
  EXPECT_EQ(text[0xE9], QChar(0x00E9));
}

TEST(VbCp1252, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(ToCp1252(QString::fromUtf8("a\u0100b")), "a?b");
  // A character outside the basic plane is one question mark, not two.
  EXPECT_EQ(ToCp1252(QString::fromUtf8("x\U0001F600y")), "x?y");
  EXPECT_EQ(ToCp1252(QString::fromUtf8("\u20ac\u2122")), "\x80\x99");
  EXPECT_EQ(ToFixed(QString::fromUtf8("Zo\u00eb"), 5), "Zo\xEB  ");
  EXPECT_EQ(ToFixed("abcdef", 3), "abc");
  EXPECT_EQ(ToFixed("abc", 0), "");
}

TEST(VbOleDate, KnownValuesBothWays) {
  const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
  EXPECT_EQ(ToOleDate(epoch), 0.0);
  EXPECT_EQ(ToOleDate(QDateTime(QDate(2000, 1, 1), QTime(12, 0))), 36526.5);
  EXPECT_EQ(ToOleDate(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
  EXPECT_EQ(ToOleDate(QDateTime()), 0.0);

  EXPECT_EQ(FromOleDate(36526.5), QDateTime(QDate(2000, 1, 1), QTime(12, 0)));
  EXPECT_EQ(FromOleDate(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
  // Between -1 and 0 the day is the epoch itself, the fraction its time.
  EXPECT_EQ(FromOleDate(-0.25), QDateTime(QDate(1899, 12, 30), QTime(6, 0)));
  // A fraction that rounds to a whole day carries into the next day.
  EXPECT_EQ(FromOleDate(1.9999999999), QDateTime(QDate(1900, 1, 1), QTime(0, 0)));
  EXPECT_FALSE(FromOleDate(std::nan("")).isValid());
  EXPECT_FALSE(FromOleDate(1e12).isValid());
  EXPECT_FALSE(FromOleDate(-1e7).isValid());

  const QDateTime t(QDate(1987, 6, 5), QTime(4, 3, 2, 1));
  EXPECT_EQ(FromOleDate(ToOleDate(t)), t);
  const QDateTime old(QDate(1850, 3, 4), QTime(22, 15));
  EXPECT_EQ(FromOleDate(ToOleDate(old)), old);
}

TEST(VbOleDate, ASkippedSummerTimeHourStillGivesATime) {
  if (!QFile::exists("/usr/share/zoneinfo/Europe/Berlin")) GTEST_SKIP() << "no time zone data";
  const QByteArray oldTz = qgetenv("TZ");
  qputenv("TZ", "Europe/Berlin");
  tzset();
  // 2024-03-31 02:30 does not exist in Berlin: clocks went from 02:00 to 03:00.
  const double d = ToOleDate(QDateTime(QDate(2024, 3, 31), QTime(0, 0))) + 2.5 / 24;
  const QDateTime t = FromOleDate(d);
  EXPECT_TRUE(t.isValid());
  EXPECT_EQ(t.date(), QDate(2024, 3, 31));
  EXPECT_EQ(t.time(), QTime(3, 30));
  if (oldTz.isNull())
    qunsetenv("TZ");
  else
    qputenv("TZ", oldTz);
  tzset();
}

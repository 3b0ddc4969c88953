#include "platform/vb.h"

#include <QDate>
#include <QTime>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace vb {

namespace {

constexpr std::int16_t kMin16 = std::numeric_limits<std::int16_t>::min();
constexpr std::int16_t kMax16 = std::numeric_limits<std::int16_t>::max();

// Windows-1252 bytes 0x80..0x9F. The five bytes the code page leaves
// undefined map to the C1 control of the same value, as Windows does, so
// that reserved bytes of a record survive a round trip.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char ByteFor(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (std::size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] == c) return static_cast<char>(0x80 + i);
  return '?';
}

// Blanks that Val skips wherever they stand.
bool IsValBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

// "&H" and "&O" numbers: up to 16 bits they read as an Integer, up to 32
// bits as a Long, so "&HFFFF" is -1.
double RadixValue(const QString& digits, int base) {
  unsigned long long v = 0;
  bool any = false;
  for (QChar c : digits) {
    if (IsValBlank(c)) continue;
    int d = -1;
    if (c >= u'0' && c <= u'9')
      d = c.unicode() - u'0';
    else if (base == 16 && c.toUpper() >= u'A' && c.toUpper() <= u'F')
      d = c.toUpper().unicode() - u'A' + 10;
    if (d < 0 || d >= base) break;
    any = true;
    v = v * base + d;
    if (v > 0xFFFFFFFFull) return 0;  // overflow: no number
  }
  if (!any) return 0;
  if (v <= 0xFFFF) return static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

}  // namespace

QString D(long long n) { return QString::number(n); }

QString Str(long long n) { return n >= 0 ? QStringLiteral(" ") + D(n) : D(n); }

namespace {

// VB writes a Double with up to 15 significant digits and a Single with 7.
QString StrWithDigits(double x, int digits) {
  if (!std::isfinite(x)) return Str(0LL);
  QString s = QString::number(x, 'g', digits);
  s.replace(u'e', u'E');
  // VB writes no zero before the point and at least two exponent digits.
  if (s.startsWith(QStringLiteral("0.")))
    s.remove(0, 1);
  else if (s.startsWith(QStringLiteral("-0.")))
    s.remove(1, 1);
  if (s == QStringLiteral("-0")) s = QStringLiteral("0");
  return x >= 0 || s == QStringLiteral("0") ? QStringLiteral(" ") + s : s;
}

}  // namespace

QString Str(double x) { return StrWithDigits(x, 15); }
QString Str(float x) { return StrWithDigits(x, 7); }

double Val(const QString& text) {
  int i = 0;
  const int n = text.size();
  auto skip = [&] {
    while (i < n && IsValBlank(text[i])) ++i;
  };
  skip();
  if (i + 1 < n && text[i] == u'&') {
    QChar r = text[i + 1].toUpper();
    if (r == u'H') return RadixValue(text.mid(i + 2), 16);
    if (r == u'O') return RadixValue(text.mid(i + 2), 8);
    return 0;
  }
  // Gather the number's characters without the blanks, then convert.
  std::string clean;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) {
    clean += static_cast<char>(text[i].unicode());
    ++i;
  }
  bool digits = false, point = false;
  for (; i < n; ++i) {
    QChar c = text[i];
    if (IsValBlank(c)) continue;
    if (c >= u'0' && c <= u'9') {
      digits = true;
      clean += static_cast<char>(c.unicode());
    } else if (c == u'.' && !point) {
      point = true;
      clean += '.';
    } else {
      break;
    }
  }
  if (!digits) return 0;
  skip();
  if (i < n && (text[i].toUpper() == u'E' || text[i].toUpper() == u'D')) {
    std::string exp = "e";
    int j = i + 1;
    while (j < n && IsValBlank(text[j])) ++j;
    if (j < n && (text[j] == u'+' || text[j] == u'-')) exp += static_cast<char>(text[j++].unicode());
    bool expDigits = false;
    for (; j < n; ++j) {
      if (IsValBlank(text[j])) continue;
      if (text[j] < u'0' || text[j] > u'9') break;
      expDigits = true;
      exp += static_cast<char>(text[j].unicode());
    }
    if (expDigits) clean += exp;
  }
  double v = std::strtod(clean.c_str(), nullptr);
  // VB stops with an overflow error here; a number too large to hold reads
  // as no number instead.
  return std::isfinite(v) ? v : 0;
}

std::int16_t CInt(double x) {
  if (std::isnan(x)) return 0;
  if (x <= kMin16) return kMin16;
  if (x >= kMax16) return kMax16;
  // The default rounding mode rounds half to even.
  return static_cast<std::int16_t>(std::nearbyint(x));
}

double Int(double x) { return std::floor(x); }

std::int16_t Clamp16(long long v) {
  if (v < kMin16) return kMin16;
  if (v > kMax16) return kMax16;
  return static_cast<std::int16_t>(v);
}

std::int16_t SaturatingAdd(std::int16_t counter, int add) { return Clamp16(static_cast<long long>(counter) + add); }

QString Trim(const QString& s) {
  int b = 0, e = s.size();
  while (b < e && s[b] == u' ') ++b;
  while (e > b && s[e - 1] == u' ') --e;
  return s.mid(b, e - b);
}

QString TrimRecord(const QString& s) {
  auto pad = [](QChar c) { return c == u' ' || c == QChar(0); };
  int b = 0, e = s.size();
  while (b < e && pad(s[b])) ++b;
  while (e > b && pad(s[e - 1])) --e;
  return s.mid(b, e - b);
}

QString Mid(const QString& s, int start, int length) {
  if (start < 1) start = 1;
  if (start > s.size()) return {};
  return length < 0 ? s.mid(start - 1) : s.mid(start - 1, length);
}

QString Left(const QString& s, int length) { return length <= 0 ? QString() : s.left(length); }

QString Right(const QString& s, int length) { return length <= 0 ? QString() : s.right(length); }

int InStr(const QString& s, const QString& find, int start) {
  if (start < 1) start = 1;
  if (s.isEmpty() || start > s.size()) return 0;
  if (find.isEmpty()) return start;
  qsizetype at = s.indexOf(find, start - 1);
  return at < 0 ? 0 : static_cast<int>(at) + 1;
}

QByteArray ToCp1252(const QString& s) {
  QByteArray out;
  out.reserve(s.size());
  for (int i = 0; i < s.size(); ++i) {
    QChar c = s[i];
    // A character outside the basic plane is one unknown character.
    if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) ++i;
    out.append(ByteFor(c.unicode()));
  }
  return out;
}

QString FromCp1252(const QByteArray& bytes) {
  QString out;
  out.reserve(bytes.size());
  for (char b : bytes) {
    auto u = static_cast<unsigned char>(b);
    out.append(u >= 0x80 && u < 0xA0 ? QChar(kHighControls[u - 0x80]) : QChar(u));
  }
  return out;
}

QByteArray ToFixed(const QString& s, int width) {
  if (width <= 0) return {};
  QByteArray b = ToCp1252(s).left(width);
  if (b.size() < width) b.append(QByteArray(width - b.size(), ' '));
  return b;
}

namespace {
const QDate kOleEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
// The range OLE dates cover: years 100 to 9999.
constexpr double kOleMin = -657434.0;
constexpr double kOleMax = 2958466.0;
}  // namespace

double ToOleDate(const QDateTime& t) {
  if (!t.isValid()) return 0;
  const double days = static_cast<double>(kOleEpoch.daysTo(t.date()));
  const double fraction = t.time().msecsSinceStartOfDay() / kMsPerDay;
  // Before the epoch the whole part counts back, the fraction forward.
  return days >= 0 ? days + fraction : days - fraction;
}

QDateTime FromOleDate(double d) {
  if (!std::isfinite(d) || d <= kOleMin - 1 || d >= kOleMax) return {};
  const double whole = std::trunc(d);
  long long ms = std::llround(std::fabs(d - whole) * kMsPerDay);
  QDate date = kOleEpoch.addDays(static_cast<qint64>(whole));
  if (ms >= static_cast<long long>(kMsPerDay)) {
    ms -= static_cast<long long>(kMsPerDay);
    date = date.addDays(1);
  }
  QDateTime t(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
  // A wall-clock time that the change to summer time skips reads as the
  // same span after midnight, i.e. just past the gap.
  if (!t.isValid()) t = QDateTime(date, QTime(0, 0)).addMSecs(ms);
  return t;
}

}  // namespace vb

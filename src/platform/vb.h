#pragma once
// Number and text conversions with the semantics the game's stored files,
// messages and network lines were written with: 16-bit integers, banker's
// rounding, leading blanks on non-negative numbers, fixed-width
// Windows-1252 text and OLE dates.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>

namespace vb {

constexpr std::int16_t True = -1;  // a Boolean as stored in records and sent on the wire
constexpr std::int16_t False = 0;

inline std::int16_t FromBool(bool b) { return b ? True : False; }
inline bool ToBool(std::int16_t v) { return v != 0; }

// "Str": the number as text, with one leading blank when it is not negative.
QString Str(long long n);
QString Str(double x);
// A Single: seven significant digits, as VB writes it.
QString Str(float x);
// Smaller integers choose the whole-number form, not the Double one.
inline QString Str(int n) { return Str(static_cast<long long>(n)); }
inline QString Str(long n) { return Str(static_cast<long long>(n)); }
// The number as text without the leading blank.
QString D(long long n);

// "Val": the leading number of the text (blanks skipped, also between the
// digits; "&H" hex and "&O" octal, an optional fraction and exponent); 0 when
// there is none or it is too large to hold.
double Val(const QString& text);

// "CInt": round half to even, clamped into the 16-bit range.
std::int16_t CInt(double x);
// "Int": the largest whole number not above x.
double Int(double x);

// Clamp a 32-bit result into a 16-bit field.
std::int16_t Clamp16(long long v);
// Counters saturate at 32,767 instead of wrapping.
std::int16_t SaturatingAdd(std::int16_t counter, int add);

// "Trim": blanks removed from both ends.
QString Trim(const QString& s);
// Text read from a record: blanks and NUL bytes removed from both ends.
QString TrimRecord(const QString& s);

// 1-based text arithmetic.
QString Mid(const QString& s, int start, int length = -1);
QString Left(const QString& s, int length);
QString Right(const QString& s, int length);
int InStr(const QString& s, const QString& find, int start = 1);  // 0 when not found

// Windows-1252 conversion, one byte per character.
QByteArray ToCp1252(const QString& s);
QString FromCp1252(const QByteArray& bytes);
// A fixed-width field: cut or padded with blanks to exactly width bytes.
QByteArray ToFixed(const QString& s, int width);

// OLE dates: days since 1899-12-30 as a double, the fraction the time of day
// (before 1899-12-30 the whole part counts back and the fraction forward).
// The date and time are taken as they stand, without converting the zone;
// an invalid time gives 0. FromOleDate gives local time, and an invalid
// QDateTime for a value outside the years 100..9999 or not a number.
double ToOleDate(const QDateTime& t);
QDateTime FromOleDate(double d);

}  // namespace vb

#pragma once
// The services' own bounded formatter, the character classes and the clock
// helpers they share.
//
// Conversions: %% %c %s %d %x %X %u. Flags: '+' (sign on positive d/x/X),
// a width of one or two digits (a leading '0' pads with zeros and takes only
// one digit: "%05d"), 'h' and 'l' (accepted; values are 32-bit). The width
// counts digits only, so a sign stands before the padding. Any other
// conversion character is stored as it is ("%q" gives "q"). Output is cut at
// size - 1 characters and always NUL-terminated.

#include <cstdarg>
#include <cstdint>

class CBoundedString;

// The values of a format's conversions, taken in order. `longs` is the number
// of 'l' modifiers the conversion carried, so a value is read at its own size;
// only its low 32 bits are shown.
class MFormatValues {
 public:
  virtual ~MFormatValues() = default;
  virtual int32_t NextSigned(int longs) = 0;    // c d x X
  virtual uint32_t NextUnsigned(int longs) = 0;  // u
  virtual const char* NextString() = 0;          // s (null shows nothing)
};

// Formats into buffer of `size` bytes (size >= 1, else nothing is written).
// Returns the number of characters written, without the NUL.
int32_t FormatBuffer(char* buffer, int32_t size, const char* format, MFormatValues& values);
int32_t FormatBuffer(char* buffer, int32_t size, const char* format, va_list values);

// Formats into the target's characters with size = its capacity, sets its
// length to the count and returns it. Values must not point into the target
// after the part already written.
int32_t FormatString(CBoundedString& target, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
int32_t VFormatString(CBoundedString& target, const char* format, va_list values);

// Character classes (ASCII) and the Latin-1 case tables, by character code.
int IsDigit(int c);
int IsAlpha(int c);
int IsUpper(int c);
int IsLower(int c);
int UpperOf(int c);
int LowerOf(int c);
int FoldOf(int c);

// Milliseconds of the time of day.
int64_t NowMilliseconds();
// 1 when the clock went back before `start` or more than `interval` ms passed.
int HasElapsed(int64_t start, int64_t interval);
// Seeds the library generator with seed + the clock and returns its next number.
int RandomNumber(int seed);

#include "controls/label_format.h"

#include <cstdio>
#include <cstring>

namespace {

bool copyLiteral(char* text, size_t capacity, const char* literal) {
  const size_t length = std::strlen(literal);
  if (length >= capacity) return false;
  std::memcpy(text, literal, length + 1);
  return true;
}

// Appends one conversion at used; returns the new length, never beyond capacity - 1.
size_t appendConversion(char* text, size_t capacity, size_t used, char conversion, va_list& args) {
  char* out = text + used;
  const size_t room = capacity - used;
  int written = 0;
  switch (conversion) {
    case 's': {
      const char* s = va_arg(args, const char*);
      written = std::snprintf(out, room, "%s", s ? s : "");
      break;
    }
    case 'i':
      written = std::snprintf(out, room, "%i", va_arg(args, int));
      break;
    case 'f':
      written = std::snprintf(out, room, "%3.1f", va_arg(args, double));
      break;
    default:
      return used;
  }
  if (written < 0) return used;
  const size_t grown = used + static_cast<size_t>(written);
  return grown < capacity ? grown : capacity - 1;
}

}  // namespace

bool composeLabelText(char* text, size_t capacity, const char* format, va_list args) {
  if (capacity == 0) return false;
  if (!format) format = "";
  if (format[0] != '%') return copyLiteral(text, capacity, format);
  va_list cursor;
  va_copy(cursor, args);
  const size_t length = std::strlen(format);
  size_t used = 0;
  text[0] = '\0';
  for (size_t i = 1; i <= length && i < capacity; i += 2) {
    used = appendConversion(text, capacity, used, format[i], cursor);
  }
  va_end(cursor);
  return true;
}

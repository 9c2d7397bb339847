#include "app/decimal_text.h"

#include <cctype>
#include <climits>

namespace glyphmill {

bool ParseDecimal(const std::string& text, long long* value, std::string* error) {
  size_t i = 0, n = text.size();
  while (i < n && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  while (n > i && std::isspace(static_cast<unsigned char>(text[n - 1]))) --n;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == n) {
    if (error) *error = "'" + text + "' is not a valid integer value";
    return false;
  }
  long long v = 0;
  for (; i < n; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i])) || v > (LLONG_MAX - 9) / 10) {
      if (error) *error = "'" + text + "' is not a valid integer value";
      return false;
    }
    v = v * 10 + (text[i] - '0');
  }
  *value = negative ? -v : v;
  return true;
}

}  // namespace glyphmill

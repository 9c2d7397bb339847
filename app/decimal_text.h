// ParseDecimal: the one parser of decimal whole numbers typed or given as text (the window's size
// boxes, the command line's numeric options).
#pragma once

#include <string>

namespace glyphmill {

// Strict decimal integer parse: optional sign, digits only, surrounding blanks allowed. False with a
// message naming the text otherwise (also when the number does not fit a long long); `error` may be
// null.
bool ParseDecimal(const std::string& text, long long* value, std::string* error);

}  // namespace glyphmill

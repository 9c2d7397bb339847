// Text from files and plug-ins made safe to print on a terminal: control characters (C0, DEL and
// the C1 range) are shown escaped, so that a plug-in name or a font name cannot move the cursor,
// change colours or forge lines of output.
#pragma once

#include <string>
#include <string_view>

namespace glyphmill::cli {

// `text` with every control character written as \xHH (C0 and DEL) or \u00HH (C1, UTF-8 encoded).
// With `lineBreaks`, a carriage return or line feed is written as a line feed instead.
std::string EscapeControls(std::string_view text, bool lineBreaks = false);

}  // namespace glyphmill::cli

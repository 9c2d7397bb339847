// The open dialog's filter for font files, shared by "Open Font File..." and the fallback list's
// "Add Font File...": every format FreeType reads here.
#pragma once

namespace glyphmill {

inline constexpr const char* kFontFileFilter =
    "Font Files (*.ttf *.otf *.ttc *.otc *.woff *.woff2)|*.ttf *.otf *.ttc *.otc *.woff *.woff2";

}  // namespace glyphmill

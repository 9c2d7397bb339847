// The export every BMFont plug-in runs: check the record, write the RGBA page beside the
// descriptor, describe the font and write the descriptor in the plug-in's form.
#pragma once

#include <string>

#include "glyphmill/plugin.h"
#include "plugins/common/bmfont_model.h"

namespace glyphmill::plugins {

// Turns a description into the descriptor file's bytes.
using BmFontFormatter = std::string (*)(const BmFontDescription&);

// Runs one SimpleExport. With FileName "" nothing is written. Every page (one, or each page of the
// host's pages service) and the descriptor are written in full before any is moved into place,
// and they are put in place together (CommitTogether): a failure at any point, or an
// interruption, leaves no partial or temporary file and keeps the earlier pages and descriptor of
// those names as a set.
// Throws std::runtime_error with the reason when the export cannot be written.
void RunBmFontExport(const TSimpleExportInfo* record, BmFontFormatter format);

}  // namespace glyphmill::plugins

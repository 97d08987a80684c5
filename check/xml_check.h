// The check of an XML keyboard file: what the resave's reader ignores or
// changes in it, and what the keyboard schema says of it.
#pragma once

#include <string_view>

#include "check/check_report.h"
#include "check/media_check.h"

namespace dravonix {

/// Checks an XML keyboard file held in memory and fills report. It is
/// unreadable, with the reason and its line, when the reader cannot read it
/// (not well-formed, an entity reference, out of memory). Otherwise report
/// holds the counts of the keyboard read and these findings:
///   unknown-element, unknown-attribute  names the reader does not read in
///                       that place (with the nearest known name);
///   not-a-number        a key, point, stroke, outline record or sound
///                       dropped because a number attribute does not convert;
///   value-ignored       another number or boolean that does not convert;
///   character-replaced  text without a Windows-1252 character, read as "?";
///   comment-dropped, instruction-dropped, doctype-dropped  not kept;
///   sound-duplicate     a sound id given twice in a panel: the first wins;
///   root-not-keydef     the root element is not "keydef": nothing is read;
///   schema              an error of the keyboard schema's validator (only
///                       with validate);
///   media-missing, media-case, media-refused  a media file the keyboard
///                       names, looked up as CheckMedia does (only with
///                       media, the folder of the file that held bytes).
/// Needs the COM runtime, as the reader does.
void CheckXmlMemory(std::string_view bytes, CheckReport& report, bool validate = true,
                    const MediaFolder* media = nullptr);

}  // namespace dravonix

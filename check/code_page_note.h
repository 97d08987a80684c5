// The check's note that a keyboard's text reads right in another code page:
// "the text reads as Cyrillic in code page 1251 ("Русская клавиатура");
// convert with --code-page=1251" (CheckReport::code_page_note).
#pragma once

#include <string>
#include <string_view>

#include "platform/code_page.h"

struct _xmlDoc;

namespace dravonix {

/// The note on a legacy keyboard's bytes, text, read in page: names the code
/// page the text reads much better in (GuessCodePage); empty when the text
/// reads well in page or the guess is unsure.
std::string CodePageNote(std::string_view text, CodePage page);

/// The note on an XML keyboard (a document from ParseWithLines) read in page:
/// when its attribute values or text hold a character page has no bytes for,
/// names the first supported code page that has bytes for every character
/// of them (single-byte pages first; then 950, 936, 932 and 949, or 932 first
/// when the text holds kana, so that Japanese, traditional and simplified
/// Chinese and Korean each get their own page); empty when
/// nothing is lost in page or no other page keeps it all. UTF-8 (65001),
/// which keeps everything, is not suggested: the note is for keyboards
/// meant for a legacy code page.
std::string XmlCodePageNote(const _xmlDoc* doc, CodePage page);

}  // namespace dravonix

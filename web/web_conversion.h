// One keyboard file as the web page handles it: converted to XML as dravonix
// converts it (or, for an XML keyboard file, saved again as dravonix-resave
// saves it), checked as dravonix-check checks it and drawn as dravonix-render
// draws it, all from the file's bytes held in memory.
#pragma once

#include <string>
#include <string_view>

#include "check/check_report.h"

namespace dravonix {

/// What became of one keyboard file.
struct WebConversion {
    bool converted = false;  // xml holds the output; otherwise error says why not
    bool clean = false;      // converted, and the check found nothing
    std::string reader;      // ".kbd" or "XML": the reader dravonix-check gives the file
    std::string xml;         // the XML keyboard file, the same bytes the commands write
    std::string report;      // dravonix-check's lines for the file, each ending in "\n"
    std::string error;       // why nothing was converted, in words for the user
    KeyboardCounts counts;   // what the keyboard read holds
    std::size_t warnings = 0;
};

/// The code pages a conversion may read narrow text in besides the default
/// (Windows-1252), one a line: every other supported one.
const char* OfferedCodePages();

/// Converts and checks the keyboard file named name (its path as the report
/// shows it) whose content is bytes, with the legacy reader or the XML
/// reader, chosen by the name and the content as dravonix-check chooses.
/// code_page is "" for the default or one of OfferedCodePages; any other is
/// refused. The media files the keyboard names are looked up from
/// media_folder, the folder the page put the files beside it in, as
/// dravonix-check looks them up beside the keyboard ("" looks up none).
/// Needs the COM runtime started on the calling thread. Never throws but
/// std::bad_alloc.
WebConversion ConvertKeyboard(std::string_view name, std::string_view bytes,
                              std::string_view code_page, const std::string& media_folder = "");

/// Reads the same file as ConvertKeyboard does and draws it into *svg (an
/// SVG document), looking panel images up relative to image_folder as
/// dravonix-render looks them up beside its input. False, with *svg empty,
/// when there is no keyboard to draw (an XML file that is no keyboard) or
/// the picture could not be built. Needs the COM runtime; never throws but
/// std::bad_alloc.
bool DrawKeyboard(std::string_view name, std::string_view bytes, const std::string& image_folder,
                  std::string_view code_page, std::string* svg);

}  // namespace dravonix

// The entry points of the page's WebAssembly module: plain C functions that
// the page's script (web/dravonix-page.js) calls. One keyboard is handled at
// a time; its outcome stays in the module until the next call or a release,
// so that the script can copy each part out of the module's memory.
//
// Running out of memory throws std::bad_alloc, which is caught here as in the
// commands. The page's build leaves Emscripten's exception catching out,
// which would make building the XML and the picture about half again as
// slow: there the throw ends the module instead, and the page's script
// reports the keyboard as failed and starts a new module for the next.
#include <cstddef>
#include <new>
#include <string>

#include "platform/com.h"
#include "web/web_conversion.h"

namespace {

dravonix::WebConversion outcome;
std::string picture;

// The text of one part of the last outcome (see dravonix_part_data); null
// for a number that names none.
const std::string* Part(int part) {
    switch (part) {
        case 0:
            return &outcome.xml;
        case 1:
            return &outcome.report;
        case 2:
            return &picture;
        case 3:
            return &outcome.error;
        default:
            return nullptr;
    }
}

// Runs action with the COM runtime started; "out of memory" in outcome when
// it throws std::bad_alloc.
template <class Action>
void Run(Action action) {
    (void)dravonix::CoInitialize(nullptr);  // cannot fail; every DOM document needs it
    try {
        action();
    } catch (const std::bad_alloc&) {
        outcome = dravonix::WebConversion();
        picture.clear();
        outcome.error = "out of memory";
    }
    dravonix::CoUninitialize();
}

}  // namespace

extern "C" {

/// Converts and checks one keyboard file (ConvertKeyboard): name, code_page
/// and media_folder are NUL-terminated UTF-8, bytes holds size bytes.
/// Returns what the commands return as their exit status: 0 converted and
/// clean, 1 converted with warnings, 2 not converted (part 3 says why).
int dravonix_convert(const char* name, const char* bytes, std::size_t size, const char* code_page,
                     const char* media_folder) {
    outcome = dravonix::WebConversion();
    Run([&] {
        outcome =
            dravonix::ConvertKeyboard(name, std::string_view(bytes, size), code_page, media_folder);
    });
    if (!outcome.converted) return 2;
    return outcome.clean ? 0 : 1;
}

/// Draws one keyboard file (DrawKeyboard) into part 2, with its panel images
/// looked up below image_folder. Returns 0 when drawn, 2 when not.
int dravonix_draw(const char* name, const char* bytes, std::size_t size, const char* image_folder,
                  const char* code_page) {
    picture.clear();
    bool drawn = false;
    Run([&] {
        drawn = dravonix::DrawKeyboard(name, std::string_view(bytes, size), image_folder, code_page,
                                       &picture);
    });
    return drawn ? 0 : 2;
}

/// The text of one part of the last outcome: 0 the XML file, 1 the report
/// lines, 2 the SVG picture, 3 why the file was not converted;
/// dravonix_part_size gives its length in bytes.
const char* dravonix_part_data(int part) {
    const std::string* text = Part(part);
    return text != nullptr ? text->data() : "";
}

std::size_t dravonix_part_size(int part) {
    const std::string* text = Part(part);
    return text != nullptr ? text->size() : 0;
}

/// A count of the last outcome: 0 panels, 1 keys, 2 macros, 3 sounds,
/// 4 warnings.
std::size_t dravonix_count(int which) {
    switch (which) {
        case 0:
            return outcome.counts.panels;
        case 1:
            return outcome.counts.keys;
        case 2:
            return outcome.counts.macros;
        case 3:
            return outcome.counts.sounds;
        case 4:
            return outcome.warnings;
        default:
            return 0;
    }
}

/// Frees the memory of the last outcome and picture.
void dravonix_release() {
    outcome = dravonix::WebConversion();
    picture = std::string();
}

/// The code pages a conversion may be asked for, one a line ("" while the
/// converter offers none besides its default).
const char* dravonix_code_pages() { return dravonix::OfferedCodePages(); }
}

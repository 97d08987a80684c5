#include "web/web_conversion.h"

#include <optional>

#include "check/input_kind.h"
#include "check/kbd_check.h"
#include "check/report_text.h"
#include "check/xml_check.h"
#include "dom/dom.h"
#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "render/keyboard_svg.h"
#include "xml/keyboard_file.h"

namespace dravonix {

const char* OfferedCodePages() {
    return "874\n1250\n1251\n1253\n1254\n1255\n1256\n1257\n1258\n932\n936\n949\n950\n65001\n";
}

namespace {

// The code page a name from the page stands for: 1252 for "".
std::optional<CodePage> ChosenCodePage(std::string_view code_page) {
    if (code_page.empty()) return CodePage();
    return CodePage::Find(code_page);
}

}  // namespace

WebConversion ConvertKeyboard(std::string_view name, std::string_view bytes,
                              std::string_view code_page, const std::string& media_folder) {
    WebConversion result;
    const std::optional<CodePage> page = ChosenCodePage(code_page);
    if (!page) {
        result.error = "the code page \"" + std::string(code_page) + "\" is not offered";
        return result;
    }
    KeyDefDocument document;
    document.code_page = *page;
    CheckReport report;
    const MediaFolder media{SystemFileSystem(), media_folder, *page};
    const MediaFolder* media_check = media_folder.empty() ? nullptr : &media;
    if (ChooseReader(name, bytes) == InputKind::kKbd) {
        // One read gives the model dravonix saves and the findings
        // dravonix-check reports: the observer never changes what is read.
        result.reader = ".kbd";
        KbdFindingCollector findings(report, *page);
        ReadKbdBytes(bytes, document.keydef, &findings, *page);
        report.readable = true;
        report.counts = CountKeyboard(document.keydef);
        if (media_check != nullptr) {
            CheckMedia(media, document.keydef, findings.media_lines(), report);
        }
        report.SortByLine();
    } else {
        result.reader = "XML";
        CheckXmlMemory(bytes, report, media_check, *page);
        if (!report.readable) {
            result.error = FormatReadError(name, report);
            result.report = FormatCheckReport(name, report);
            return result;
        }
        if (LoadKeyboardMemory(bytes, document) != KeyboardLoad::kLoaded) {
            // Well-formed, but its root is no keyboard: the report says so.
            result.error = "not a keyboard file: its root element is not \"keydef\"";
            result.report = FormatCheckReport(name, report);
            result.warnings = report.findings.size();
            return result;
        }
    }
    result.counts = report.counts;
    result.warnings = report.findings.size();
    result.report = FormatCheckReport(name, report);
    if (!SaveToText(document, &result.xml)) {
        result.error = "out of memory";
        return result;
    }
    result.converted = true;
    result.clean = report.findings.empty();
    return result;
}

bool DrawKeyboard(std::string_view name, std::string_view bytes, const std::string& image_folder,
                  std::string_view code_page, std::string* svg) {
    svg->clear();
    const std::optional<CodePage> page = ChosenCodePage(code_page);
    if (!page) return false;
    KeyDefDocument document;
    document.code_page = *page;
    CheckReport check;  // of a legacy file, for the image paths it cut
    if (ChooseReader(name, bytes) == InputKind::kKbd) {
        KbdFindingCollector findings(check, *page);
        ReadKbdBytes(bytes, document.keydef, &findings, *page);
    } else if (LoadKeyboardMemory(bytes, document) != KeyboardLoad::kLoaded) {
        return false;
    }
    DomDocument picture;
    if (Failed(BuildKeyboardSvg(document.keydef, image_folder, &picture, SystemFileSystem(),
                                check.cut_images, *page)) ||
        Failed(picture.SaveToString(svg))) {
        svg->clear();
        return false;
    }
    return true;
}

}  // namespace dravonix

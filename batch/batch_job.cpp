#include "batch/batch_job.h"

#include <string_view>
#include <utility>
#include <vector>

#include "check/check_report.h"
#include "check/kbd_check.h"
#include "check/report_text.h"
#include "kbd/file_kind.h"
#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "platform/file_system.h"
#include "render/keyboard_svg.h"
#include "xml/keyboard_file.h"

namespace dravonix {

namespace {

std::string Join(const std::string& root, const std::string& relative) {
    if (root.ends_with('/') || root.ends_with('\\')) return root + relative;
    return root + "/" + relative;
}

// The folder part of a path below a root ("" for none).
std::string FolderPart(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// True when every output exists and is newer than the keyboard, a regular
// file (a link that leads nowhere is never up to date: it cannot be read).
bool IsUpToDate(FileSystem& files, const FileInfo& keyboard,
                const std::vector<std::string>& outputs) {
    if (keyboard.kind != FileKind::kFile) return false;
    for (const std::string& output : outputs) {
        const FileInfo info = files.GetFileInfo(output);
        if (info.kind != FileKind::kFile || info.modified <= keyboard.modified) return false;
    }
    return true;
}

// Gives path the content text through the atomic save.
bool SaveText(FileSystem& files, const std::string& path, std::string_view text,
              std::string* error) {
    std::unique_ptr<OutputFile> output = files.StartReplacing(path, error);
    return output != nullptr && output->Write(text, error) && output->Commit(error);
}

}  // namespace

JobOutputs OutputsOf(const std::string& relative) {
    const std::string stem = relative.substr(0, relative.size() - 4);  // without ".kbd"
    return {stem + ".xml", stem + ".check.txt", stem + ".svg"};
}

JobResult RunJob(FileSystem& files, const std::string& source_root, const std::string& dest_root,
                 const std::string& relative, const BatchOptions& options) {
    JobResult result;
    result.relative = relative;
    const std::string source = Join(source_root, relative);
    const JobOutputs outputs = OutputsOf(relative);
    const std::string xml = Join(dest_root, outputs.xml);
    std::vector<std::string> written = {xml};
    if (!options.xml_only) {
        written.push_back(Join(dest_root, outputs.report));
        written.push_back(Join(dest_root, outputs.preview));
    }
    const FileInfo keyboard = files.GetFileInfo(source);
    if (keyboard.kind == FileKind::kOther) {  // a pipe could keep the reader waiting
        result.error = FileFailureMessage("open", source, "not a regular file");
        return result;
    }
    const bool up_to_date = !options.force && IsUpToDate(files, keyboard, written);
    // Read either way: an up-to-date keyboard's outputs hold what reading
    // it gives, so a later run reports what the first one did.
    KeyDefDocument document;
    CheckReport report;
    KbdFindingCollector findings(report);
    std::string error;
    if (!ReadKbdFile(source, document.keydef, &findings, &error, files)) {
        result.error = FileFailureMessage("open", source, error);
        return result;
    }
    report.readable = true;
    report.counts = CountKeyboard(document.keydef);
    report.SortByLine();
    result.panels = report.counts.panels;
    result.keys = report.counts.keys;
    result.macros = report.counts.macros;
    result.warnings = report.findings.size();
    const JobOutcome converted = result.warnings == 0 ? JobOutcome::kClean : JobOutcome::kWarnings;
    if (up_to_date) {
        result.outcome = converted;
        result.up_to_date = true;
        return result;
    }
    const std::string folder = FolderPart(outputs.xml);
    if (!folder.empty() && !files.MakeFolders(Join(dest_root, folder), &result.error)) {
        result.error = "cannot make the folder " + result.error;
        return result;
    }
    // The converter's own rule: a legacy keyboard is never overwritten.
    std::string start;
    if (files.ReadStartOfFile(xml, kKindSniffLength, &start) && HasKeydefLine(start)) {
        result.error = "will not write over '" + xml + "': it is a legacy keyboard file";
        return result;
    }
    if (!SaveToFile(document, xml, &result.error, files)) return result;
    if (!options.xml_only) {
        if (!SaveText(files, written[1], FormatCheckReport(source, report), &error)) {
            result.error = FileFailureMessage("save", written[1], error);
            return result;
        }
        if (!SaveKeyboardSvg(document.keydef, FolderOf(source), written[2], &result.error, files,
                             report.cut_images)) {
            return result;
        }
    }
    result.outcome = converted;
    return result;
}

}  // namespace dravonix

#include "batch/batch_job.h"

#include <map>
#include <string_view>
#include <utility>

#include "check/check_report.h"
#include "check/code_page_guess.h"
#include "check/kbd_check.h"
#include "check/report_text.h"
#include "kbd/file_kind.h"
#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "model/keyboard_media.h"
#include "platform/file_lookup.h"
#include "platform/file_system.h"
#include "platform/name_case.h"
#include "platform/native_text.h"
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

// Looks up each media file the keyboard names below the source tree, and
// copies those found that copies lets this job copy. False when a copy
// fails, with the reason in result.error.
bool CarryMedia(FileSystem& files, const std::string& source_root, const std::string& dest_root,
                const KeyDefinition& keyboard, MediaCopies* copies, JobResult& result) {
    const CodePage page = result.code_page;
    FileLookup lookup(files, source_root);
    const std::string from = FolderPart(result.relative);
    std::map<std::string, bool> seen;  // by name: each name once
    for (const MediaReference& reference : KeyboardMedia(keyboard)) {
        JobMedia media;
        (void)page.AppendUtf8(*reference.name, media.name);
        if (!seen.emplace(media.name, true).second) continue;
        const FoundFile found = lookup.Find(from, media.name);
        if (found.outcome == LookupOutcome::kNotFound) {
            media.state = JobMedia::State::kMissing;
        } else if (found.outcome == LookupOutcome::kOutsideFolder) {
            media.state = JobMedia::State::kRefused;
            media.reason = "leads outside the source folder";
        } else if (found.info.kind != FileKind::kFile) {
            media.state = JobMedia::State::kRefused;
            media.reason = "not a regular file";
        } else {
            media.state = JobMedia::State::kFound;
            const MediaCopies::Claim claim =
                copies == nullptr ? MediaCopies::Claim::kTaken : copies->Take(found.relative);
            if (claim == MediaCopies::Claim::kOutput) {
                media.state = JobMedia::State::kRefused;
                media.reason = "its copy would take the place of an output of the batch";
            } else if (claim == MediaCopies::Claim::kMine) {
                const std::string target = Join(dest_root, found.relative);
                const FileInfo copied = files.GetFileInfo(target);
                if (copied.kind == FileKind::kFile && (copied.modified > found.info.modified ||
                                                       copied.identity == found.info.identity)) {
                    ++result.media_current;  // copied before, or the source itself
                } else {
                    std::string error;
                    const std::string folder = FolderPart(found.relative);
                    if ((!folder.empty() && !files.MakeFolders(Join(dest_root, folder), &error)) ||
                        !files.CopyFile(found.path, target, &error)) {
                        result.error = FileFailureMessage("copy", found.path, error);
                        return false;
                    }
                    ++result.media_copied;
                }
            }
        }
        result.media.push_back(std::move(media));
    }
    return true;
}

}  // namespace

JobOutputs OutputsOf(const std::string& relative) {
    const std::string stem = relative.substr(0, relative.size() - 4);  // without ".kbd"
    return {stem + ".xml", stem + ".check.txt", stem + ".svg"};
}

MediaCopies::MediaCopies(const std::vector<std::string>& outputs) {
    for (const std::string& output : outputs) outputs_.insert(NameCaseKey(output));
}

MediaCopies::Claim MediaCopies::Take(const std::string& relative) {
    std::string key = NameCaseKey(relative);
    std::lock_guard<std::mutex> hold(lock_);
    if (outputs_.contains(key)) return Claim::kOutput;
    return taken_.insert(std::move(key)).second ? Claim::kMine : Claim::kTaken;
}

JobResult RunJob(FileSystem& files, const std::string& source_root, const std::string& dest_root,
                 const std::string& relative, const BatchOptions& options, MediaCopies* copies) {
    JobResult result;
    result.relative = relative;
    result.done = true;
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
    result.code_page = options.code_page;
    if (options.guess_code_page) {
        // The start of a file tells its code page as well as the whole would.
        constexpr std::size_t kGuessLength = 256 * 1024;
        std::string start;
        result.code_page = CodePage();
        if (files.ReadStartOfFile(source, kGuessLength, &start)) {
            const std::optional<CodePageGuess> guess = GuessCodePage(start, CodePage());
            if (guess) result.code_page = guess->code_page;
        }
    }
    const CodePage page = result.code_page;
    KeyDefDocument document;
    document.code_page = page;
    CheckReport report;
    KbdFindingCollector findings(report, page);
    std::string error;
    if (!ReadKbdFile(source, document.keydef, &findings, &error, files, page)) {
        result.error = FileFailureMessage("open", source, error);
        return result;
    }
    report.readable = true;
    report.counts = CountKeyboard(document.keydef);
    CheckMedia({files, FolderOf(source), page}, document.keydef, findings.media_lines(), report);
    report.SortByLine();
    if (options.guess_code_page) report.code_page = page.Number();
    (void)page.AppendUtf8(document.keydef.name, result.name);
    result.panels = report.counts.panels;
    result.keys = report.counts.keys;
    result.macros = report.counts.macros;
    result.warnings = report.findings.size();
    const JobOutcome converted = result.warnings == 0 ? JobOutcome::kClean : JobOutcome::kWarnings;
    if (!up_to_date) {
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
            const std::string text =
                WithNativeLineEnds(FormatCheckReport(WithNativeSeparators(relative), report));
            if (!SaveText(files, written[1], text, &error)) {
                result.error = FileFailureMessage("save", written[1], error);
                return result;
            }
            if (!SaveKeyboardSvg(document.keydef, FolderOf(source), written[2], &result.error,
                                 files, report.cut_images, page)) {
                return result;
            }
        }
    }
    if (!CarryMedia(files, source_root, dest_root, document.keydef,
                    options.no_media ? nullptr : copies, result)) {
        return result;
    }
    result.check = std::move(report);
    result.up_to_date = up_to_date;
    result.outcome = converted;
    return result;
}

}  // namespace dravonix

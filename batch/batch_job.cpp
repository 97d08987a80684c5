#include "batch/batch_job.h"

#include <string_view>
#include <utility>
#include <vector>

#include "kbd/file_kind.h"
#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "platform/file_info.h"
#include "platform/file_system.h"
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

// True when every output exists and is newer than the keyboard.
bool IsUpToDate(const std::string& source, const std::vector<std::string>& outputs) {
    const FileInfo keyboard = GetFileInfo(source);
    for (const std::string& output : outputs) {
        const FileInfo info = GetFileInfo(output);
        if (info.kind != FileKind::kFile || info.modified <= keyboard.modified) return false;
    }
    return true;
}

// Collects the reader's reports as lines of a check report.
class ReportCollector final : public KbdObserver {
public:
    explicit ReportCollector(std::string name) : name_(std::move(name)) {}

    void Report(std::size_t line, KbdIssue kind, std::string_view details) override {
        ++count_;
        text_.append(name_).append(":").append(std::to_string(line)).append(": warning: ");
        text_.append(details).append(" [").append(KbdIssueName(kind)).append("]\n");
    }

    std::size_t count() const { return count_; }
    const std::string& text() const { return text_; }

private:
    std::string name_;
    std::string text_;
    std::size_t count_ = 0;
};

// Gives path the content text through the atomic save.
bool SaveText(const std::string& path, std::string_view text, std::string* error) {
    std::unique_ptr<OutputFile> output = SystemFileSystem().StartReplacing(path, error);
    return output != nullptr && output->Write(text, error) && output->Commit(error);
}

void CountModel(const KeyDefinition& keyboard, JobResult* result) {
    result->panels = keyboard.subkeydef.size();
    for (const SubKeyDefinition& panel : keyboard.subkeydef) {
        result->keys += panel.nonshiftkeys.key.size() + panel.keyswithoutshift.key.size() +
                        panel.keyswithshift.key.size();
        result->macros += panel.nonshiftkeys.macro.size();
    }
}

}  // namespace

JobOutputs OutputsOf(const std::string& relative) {
    const std::string stem = relative.substr(0, relative.size() - 4);  // without ".kbd"
    return {stem + ".xml", stem + ".check.txt", stem + ".svg"};
}

JobResult RunJob(const std::string& source_root, const std::string& dest_root,
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
    if (!options.force && IsUpToDate(source, written)) {
        result.outcome = JobOutcome::kSkipped;
        return result;
    }
    result.outcome = JobOutcome::kFailed;
    const std::string folder = FolderPart(outputs.xml);
    if (!folder.empty() && !MakeFolders(Join(dest_root, folder), &result.error)) {
        result.error = "cannot make the folder " + result.error;
        return result;
    }
    // The converter's own rule: a legacy keyboard is never overwritten.
    std::string start;
    if (SystemFileSystem().ReadStartOfFile(xml, kKindSniffLength, &start) && HasKeydefLine(start)) {
        result.error = "will not write over '" + xml + "': it is a legacy keyboard file";
        return result;
    }
    KeyDefDocument document;
    ReportCollector report(relative);
    std::string error;
    if (!ReadKbdFile(source, document.keydef, &report, &error)) {
        result.error = FileFailureMessage("open", source, error);
        return result;
    }
    if (!SaveToFile(document, xml, &result.error)) return result;
    CountModel(document.keydef, &result);
    result.warnings = report.count();
    if (!options.xml_only) {
        if (!SaveText(written[1], report.text(), &error)) {
            result.error = FileFailureMessage("save", written[1], error);
            return result;
        }
        // The preview follows with the picture renderer.
    }
    result.outcome = result.warnings == 0 ? JobOutcome::kClean : JobOutcome::kWarnings;
    return result;
}

}  // namespace dravonix

#include "driver/printing.h"

#include <initializer_list>
#include <string>

#include "platform/shell_words.h"

namespace dravonix {

namespace {

void PrintPieces(StandardStream stream, std::initializer_list<std::string_view> pieces) {
    std::string line;
    for (std::string_view piece : pieces) line.append(piece);
    line.push_back('\n');
    WriteText(stream, line);
}

}  // namespace

void PrintLine(StandardStream stream, std::string_view text) { PrintPieces(stream, {text}); }

void PrintLines(StandardStream stream, std::span<const std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) text.append(line).push_back('\n');
    WriteText(stream, text);
}

void PrintDiagnostic(std::string_view program, std::string_view message) {
    PrintPieces(StandardStream::kError, {program, ": ", message});
}

void PrintWarning(std::string_view program, std::string_view message) {
    PrintPieces(StandardStream::kError, {program, ": warning: ", message});
}

std::string CheckCommand(std::string_view file) {
    std::string command = "'";
    command.append(CommandFileName("dravonix-check")).append(" ");
    if (file.starts_with('-')) command.append("-- ");  // a name, not an option
    command.append(QuoteForShell(file)).append("'");
    return command;
}

}  // namespace dravonix

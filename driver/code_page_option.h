// The --code-page option every command takes: which code page the keyboard's
// narrow text is in, for this run's conversions.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "driver/command_line.h"
#include "platform/code_page.h"

namespace dravonix {

/// What the command line chose.
struct CodePageChoice {
    std::optional<CodePage> page;  // the page named; empty when none or "auto"
    bool automatic = false;        // "auto": the page each file's text reads best in
    bool given = false;
};

/// The option "-c CP" / "--code-page=CP" taking a number or usual name of a
/// supported page ("1251", "cp1251", "windows-1251", "65001", "utf-8") and,
/// when allow_auto, "auto". An unknown page or a second --code-page is
/// refused with a message naming the supported pages.
CommandOption CodePageOption(CodePageChoice& choice, bool allow_auto = false);

/// The page to use: the one chosen, else DefaultCodePage, whose warning (if
/// any) is printed as "PROGRAM: warning: ...". (For "auto", the fallback a
/// file gets when its text does not tell.)
CodePage ResolveCodePage(const CodePageChoice& choice, std::string_view program);

/// For "auto": the code page the start of the file at path reads best in,
/// 1252 when the guess is unsure or the file cannot be read.
CodePage GuessFileCodePage(const std::string& path);

/// The help lines on the option.
inline constexpr std::string_view kCodePageHelp[] = {
    "  -c, --code-page=CP  the code page of the keyboard's text: 874, 1250 to 1258,",
    "                   932, 936, 949, 950 or 65001 (utf-8); also cp1251,",
    "                   windows-1251... Default: on Windows the active code page",
    "                   (1252 when it is none of these), elsewhere 1252",
};

}  // namespace dravonix

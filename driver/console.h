// The console texts shared by the command-line tools. Everything goes to
// standard output, one line at a time, flushed after each line.
#pragma once

#include <string_view>

/// Writes text and a newline to standard output and flushes it.
void PrintLine(std::string_view text);

/// The four lines every text starts with: an empty line, the banner, the rule
/// and an empty line.
void PrintBanner();

/// The five-line error text.
void PrintError();

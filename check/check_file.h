// The check of one keyboard file of either kind, as dravonix-check runs it.
#pragma once

#include <string>

#include "check/check_report.h"
#include "check/input_kind.h"
#include "platform/code_page.h"

namespace dravonix {

/// Checks the file at path with the reader the rule of check/input_kind.h
/// gives it (report.reader). A legacy keyboard named *.kbd is read
/// as it streams; any other file is read whole first, once (so a pipe works
/// too), and checked from its bytes. report says why the file is
/// unreadable, or what the reader drops or changes and which of the media
/// files it names are missing (check/media_check.h). Files are reached
/// through files. The keyboard's text is read in code page page (see
/// CheckKbdFile for the note on another). Lets std::bad_alloc escape.
void CheckFile(const std::string& path, CheckReport& report, FileSystem& files = SystemFileSystem(),
               CodePage page = CodePage());

}  // namespace dravonix

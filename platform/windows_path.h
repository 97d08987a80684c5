// Paths and failures as the Windows API takes and gives them, for the
// Windows implementations in platform/: a path's bytes become the UTF-16 name
// that reaches a file of any path length, and an error code becomes the
// system's own words, the same for every operation.
#pragma once

#include <string>
#include <string_view>

namespace dravonix {

/// The form of an absolute path that the system takes at any length: a
/// drive path "C:\dir" becomes "\\?\C:\dir" and a share "\\server\share"
/// becomes "\\?\UNC\server\share", which the MAX_PATH limit of 260
/// characters does not apply to. Names in a "\\?\" or device ("\\.\") form,
/// and anything else, are kept as they are.
std::wstring LongPathForm(std::wstring_view absolute);

/// The UTF-16 name by which the system is asked about path: made absolute
/// (in the current folder and drive; "." and ".." steps resolved, "/"
/// turned into "\"), in its LongPathForm. A device name (NUL, CON) becomes
/// "\\.\NAME". False, with "PATH: REASON" in *error (may be null), when the
/// bytes name no file (not UTF-8, a NUL inside, or empty).
bool SystemPath(const std::string& path, std::wstring* wide, std::string* error);

/// The bytes of a UTF-16 name (platform/path_encoding.h).
std::string PathFromWide(std::wstring_view wide);

/// The system's words for an error code, without the line end it comes with;
/// "system error N" when the system has none.
std::string SystemMessage(unsigned long code);

/// Sets *error (when wanted) to "context: " and the system's words for code.
void SetSystemError(std::string* error, std::string_view context, unsigned long code);

}  // namespace dravonix

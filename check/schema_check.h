// Validation of a parsed XML keyboard file against the keyboard schema built
// into the program, with the validator's own messages and line numbers.
#pragma once

#include "check/check_report.h"

// libxml2's parsed document (xmlDoc), declared here so that the header does
// not need libxml2's headers.
struct _xmlDoc;

namespace dravonix {

/// Validates doc (parsed with line numbers) against schema/keyboard.xsd as
/// built in, adding one "schema" finding per error of the validator at the
/// line it names. Returns false, with a finding saying so, when the
/// validation could not run (the schema did not compile, or memory ran out).
bool ValidateKeyboardSchema(_xmlDoc* doc, CheckReport& report);

}  // namespace dravonix

// Validation of a parsed XML keyboard file against the keyboard schema built
// into the program, with the validator's own messages and line numbers.
#pragma once

#include <libxml/tree.h>

#include "check/check_report.h"

namespace dravonix {

/// Validates doc (parsed with line numbers) against schema/keyboard.xsd as
/// built in, adding one "schema" finding per error of the validator at the
/// line it names. Returns false, with a finding saying so, when the
/// validation could not run (the schema did not compile, or memory ran out).
bool ValidateKeyboardSchema(xmlDoc* doc, CheckReport& report);

}  // namespace dravonix

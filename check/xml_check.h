// The check of an XML keyboard file: what the resave's reader ignores or
// changes in it, and what the keyboard schema says of it.
#pragma once

#include <string_view>

#include "check/check_report.h"

namespace dravonix {

/// Checks an XML keyboard file held in memory and fills report. It is
/// unreadable, with the reason and its line, when the reader cannot read it
/// (not well-formed, an entity reference, out of memory). Otherwise report
/// holds the counts of the keyboard read, the findings of the reader (each
/// kind of XmlIssue, named as XmlIssueName names it) and, when the root
/// element is "keydef", one "schema" finding per error of the keyboard
/// schema's validator. Needs the COM runtime, as the reader does.
void CheckXmlMemory(std::string_view bytes, CheckReport& report);

}  // namespace dravonix

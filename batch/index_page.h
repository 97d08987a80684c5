// The page that sums up a batch: one static HTML file beside the outputs,
// with no server and nothing loaded from outside the destination folder.
#pragma once

#include <string>
#include <vector>

#include "batch/batch_job.h"

namespace dravonix {

/// The HTML text of the page for results: a table of every keyboard (path,
/// status, panels, keys, warnings, links to its XML, report and preview), a
/// filter for keyboards with warnings or failures, and a keyboard's preview
/// shown when its row is opened. Without previews (xml_only) the page has
/// the XML links alone.
std::string IndexPage(const std::vector<JobResult>& results, bool xml_only);

/// A relative path as the address of a link: every byte other than letters,
/// digits, "-", ".", "_", "~" and "/" percent-encoded.
std::string LinkAddress(const std::string& relative);

/// text with "&", "<", ">", '"' and "'" written as character references.
std::string HtmlEscape(const std::string& text);

}  // namespace dravonix

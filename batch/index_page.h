// The page that sums up a batch: one static HTML file beside the outputs,
// with no server and nothing loaded from outside the destination folder.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "batch/batch_job.h"

namespace dravonix {

/// What the page says of the run besides its keyboards.
struct PageInfo {
    std::string source;   // the source folder, as given
    std::string date;     // when the run was, for people ("2026-12-09 10:31")
    std::string version;  // the program and its version ("dravonix-batch 1.0.0")
    bool xml_only = false;
    /// The previews and reports are embedded in the page (read through
    /// read_output), so that it can be sent on as one file.
    bool single_page = false;
    /// The line of an interrupted run ("interrupted: 3 of 9 keyboards done;
    /// run again to continue"), empty for a run that went to its end.
    std::string interrupted;
    /// Each keyboard was read in a code page of its own: a column names it.
    bool code_pages = false;
};

/// The HTML text of the page for results (those done; the others are left
/// out): a table of every keyboard (its name and path, status, panels, keys,
/// warnings, media files found and missing, links to its XML, report and
/// preview), a filter for keyboards with warnings or failures, and, when a
/// row is opened, the keyboard's findings, the media files it misses and its
/// preview. Without previews (xml_only) the page has the XML links alone.
/// For a single page, read_output gives the content of an output by its
/// path below the destination ("" when it cannot be read).
std::string IndexPage(const std::vector<JobResult>& results, const PageInfo& info,
                      const std::function<std::string(const std::string&)>& read_output = {});

/// A relative path as the address of a link: every byte other than letters,
/// digits, "-", ".", "_", "~" and "/" percent-encoded.
std::string LinkAddress(const std::string& relative);

/// text with "&", "<", ">", '"' and "'" written as character references.
std::string HtmlEscape(const std::string& text);

}  // namespace dravonix

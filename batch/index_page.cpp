#include "batch/index_page.h"

#include <cstddef>

#include "platform/counted_noun.h"
#include "render/panel_image.h"

namespace dravonix {

namespace {

// The page's own style and behaviour, inline so that the file stands alone.
constexpr const char* kHead = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Keyboard conversion</title>
<style>
body { font: 14px/1.4 system-ui, sans-serif; margin: 1.5em; color: #222; }
h1 { font-size: 1.4em; margin: 0 0 .3em; }
.summary { margin: 0 0 1em; }
table { border-collapse: collapse; width: 100%; }
th, td { padding: .35em .6em; border-bottom: 1px solid #ddd; text-align: left; }
th { background: #f3f3f3; }
td.n { text-align: right; font-variant-numeric: tabular-nums; }
tr.keyboard { cursor: pointer; }
tr.keyboard:hover { background: #f7f9fc; }
.status { font-weight: 600; padding: .1em .5em; border-radius: .8em; font-size: .9em; }
.clean { background: #e3f4e6; color: #1d6b2e; }
.warnings { background: #fff3d6; color: #7a5200; }
.failed { background: #fde2e1; color: #9b1c17; }
.uptodate { color: #666; }
.name { font-weight: 600; }
.file, .meta { color: #555; }
.meta { margin: 0 0 .6em; }
.interrupted { background: #fde2e1; color: #9b1c17; padding: .4em .6em; border-radius: .3em; }
.missing { color: #9b1c17; }
.rows { overflow-x: auto; }
tr.details td { background: #fafafa; }
tr.details td > * { max-width: calc(100vw - 3.5em); overflow-wrap: anywhere; }
tr.details img { border: 1px solid #ccc; background: #fff; }
tr.details ul { margin: .2em 0 .6em; padding-left: 1.4em; box-sizing: border-box; }
tr.details pre { white-space: pre-wrap; font-size: .85em; }
label { margin-right: 1em; }
@media (max-width: 640px) {
  body { margin: .6em; }
  th.optional, td.optional { display: none; }
  th, td { padding: .3em .35em; }
  tr.keyboard td:first-child { max-width: 9em; overflow-wrap: anywhere; }
  .status { padding: .1em .3em; }
}
</style>
</head>
<body>
)";

constexpr const char* kScript = R"(<script>
// Opens or closes the row of details below a keyboard's row, loading the
// picture the first time.
for (const row of document.querySelectorAll('tr.keyboard')) {
  row.addEventListener('click', event => {
    if (event.target.closest('a')) return;
    const details = row.nextElementSibling;
    if (!details || !details.classList.contains('details')) return;
    const image = details.querySelector('img');
    if (image && !image.getAttribute('src')) image.setAttribute('src', image.dataset.src);
    details.hidden = !details.hidden;
  });
}
// Shows every keyboard, or only those with warnings or failures.
function showOnlyProblems(problemsOnly) {
  for (const row of document.querySelectorAll('tr.keyboard')) {
    const hide = problemsOnly ? !row.classList.contains('problem') : false;
    row.hidden = hide;
    const details = row.nextElementSibling;
    if (hide && details && details.classList.contains('details')) details.hidden = true;
  }
}
for (const choice of document.querySelectorAll('input[name=show]')) {
  choice.addEventListener('change', () => showOnlyProblems(choice.value === 'problems'));
}
// The address may ask for the filter (index.html#problems) or open a row
// (index.html#open=k3, which leaves the page at its top).
if (location.hash === '#problems') {
  document.querySelector('input[value=problems]').checked = true;
  showOnlyProblems(true);
} else if (location.hash.startsWith('#open=')) {
  const named = document.getElementById(location.hash.slice(6));
  if (named) named.click();
}
</script>
</body>
</html>
)";

const char* StatusName(JobOutcome outcome) {
    switch (outcome) {
        case JobOutcome::kClean:
            return "clean";
        case JobOutcome::kWarnings:
            return "warnings";
        case JobOutcome::kFailed:
            return "failed";
    }
    return "failed";
}

// A table cell with a number, or empty when the keyboard was not read.
std::string NumberCell(const JobResult& result, std::size_t value, const char* classes) {
    std::string cell = "<td class=\"n";
    cell.append(classes).append("\">");
    if (result.outcome != JobOutcome::kFailed) cell.append(std::to_string(value));
    return cell.append("</td>");
}

// The media files of a keyboard in short: "3 found, 1 missing".
std::string MediaCell(const JobResult& result) {
    std::size_t found = 0, missing = 0, refused = 0;
    for (const JobMedia& media : result.media) {
        if (media.state == JobMedia::State::kFound) ++found;
        if (media.state == JobMedia::State::kMissing) ++missing;
        if (media.state == JobMedia::State::kRefused) ++refused;
    }
    if (result.media.empty()) return "none";
    std::string cell = std::to_string(found) + " found";
    if (missing > 0) {
        cell.append(", <span class=\"missing\">").append(std::to_string(missing));
        cell.append(" missing</span>");
    }
    if (refused > 0) {
        cell.append(", <span class=\"missing\">").append(std::to_string(refused));
        cell.append(" not copied</span>");
    }
    return cell;
}

// The most findings a row shows; its report has them all.
constexpr std::size_t kMostFindingsShown = 200;

// The row below a keyboard's, opened by a click: its findings, the media
// files it misses, its preview, and in a single page its report.
std::string DetailsRow(const JobResult& result, const JobOutputs& outputs, const PageInfo& info,
                       const std::function<std::string(const std::string&)>& read_output) {
    std::string row = info.code_pages ? "<tr class=\"details\" hidden><td colspan=\"8\">"
                                      : "<tr class=\"details\" hidden><td colspan=\"7\">";
    if (result.check.findings.empty()) {
        row.append("<p>No findings: nothing was dropped or changed.</p>");
    } else {
        row.append("<ul class=\"findings\">");
        std::size_t shown = 0;
        for (const Finding& finding : result.check.findings) {
            if (++shown > kMostFindingsShown) break;
            row.append("<li>line ")
                .append(std::to_string(finding.line))
                .append(": ")
                .append(HtmlEscape(finding.message))
                .append(" <small>[")
                .append(HtmlEscape(finding.kind))
                .append("]</small></li>");
        }
        if (result.check.findings.size() > kMostFindingsShown) {
            row.append("<li>and ")
                .append(std::to_string(result.check.findings.size() - kMostFindingsShown))
                .append(" more: see the report</li>");
        }
        row.append("</ul>");
    }
    // The missing ones are among the findings; what the batch itself
    // refused is not.
    std::string refused;
    for (const JobMedia& file : result.media) {
        if (file.state != JobMedia::State::kRefused) continue;
        refused.append("<li class=\"missing\">").append(HtmlEscape(file.name));
        refused.append(": ").append(HtmlEscape(file.reason)).append("</li>");
    }
    if (!refused.empty()) {
        row.append("<p>Media files not copied:</p><ul>").append(refused).append("</ul>");
    }
    if (!info.xml_only) {
        std::string address = LinkAddress(outputs.preview);
        std::string report;
        if (info.single_page && read_output) {
            address = DataUri("image/svg+xml", read_output(outputs.preview));
            report = read_output(outputs.report);
        }
        row.append("<img alt=\"")
            .append(HtmlEscape(result.relative))
            .append("\" data-src=\"")
            .append(HtmlEscape(address))
            .append("\">");
        if (!report.empty()) {
            row.append("<details><summary>Report</summary><pre>")
                .append(HtmlEscape(report))
                .append("</pre></details>");
        }
    }
    return row.append("</td></tr>\n");
}

std::string Link(const std::string& relative, const char* text) {
    std::string link = "<a href=\"";
    link.append(HtmlEscape(LinkAddress(relative))).append("\">").append(text);
    return link.append("</a>");
}

}  // namespace

std::string HtmlEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string LinkAddress(const std::string& relative) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : relative) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
                           c == '/';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string IndexPage(const std::vector<JobResult>& results, const PageInfo& info,
                      const std::function<std::string(const std::string&)>& read_output) {
    std::size_t counts[3] = {};
    std::size_t done = 0, up_to_date = 0, media_found = 0, media_missing = 0;
    for (const JobResult& result : results) {
        if (!result.done) continue;
        ++done;
        ++counts[static_cast<int>(result.outcome)];
        if (result.up_to_date) ++up_to_date;
        for (const JobMedia& media : result.media) {
            if (media.state == JobMedia::State::kFound) ++media_found;
            if (media.state == JobMedia::State::kMissing) ++media_missing;
        }
    }
    auto count_of = [&counts](JobOutcome outcome) {
        return std::to_string(counts[static_cast<int>(outcome)]);
    };
    std::string page = kHead;
    page.append("<h1>Keyboard conversion</h1>\n<p class=\"meta\">From <code>")
        .append(HtmlEscape(info.source))
        .append("</code> \xC2\xB7 ")
        .append(HtmlEscape(info.date))
        .append(" \xC2\xB7 ")
        .append(HtmlEscape(info.version))
        .append("</p>\n");
    if (!info.interrupted.empty()) {
        page.append("<p class=\"interrupted\">").append(HtmlEscape(info.interrupted));
        page.append("</p>\n");
    }
    page.append("<p class=\"summary\">")
        .append(CountedNoun(done, "keyboard"))
        .append(": ")
        .append(count_of(JobOutcome::kClean))
        .append(" clean, ")
        .append(count_of(JobOutcome::kWarnings))
        .append(" with warnings, ")
        .append(count_of(JobOutcome::kFailed))
        .append(" failed, ")
        .append(std::to_string(up_to_date))
        .append(" up to date. Media files: ")
        .append(std::to_string(media_found))
        .append(" found, ")
        .append(std::to_string(media_missing))
        .append(" missing. Click a row to see the keyboard's findings")
        .append(info.xml_only ? "." : " and preview.");
    page.append(
        "</p>\n<p><label><input type=\"radio\" name=\"show\" value=\"all\" checked> all "
        "keyboards</label><label><input type=\"radio\" name=\"show\" value=\"problems\"> only "
        "with warnings or failures</label></p>\n"
        "<div class=\"rows\"><table>\n<thead><tr><th>Keyboard</th><th>Status</th>"
        "<th class=\"optional\">Panels</th><th class=\"optional\">Keys</th>"
        "<th class=\"optional\">Warnings</th>");
    if (info.code_pages) page.append("<th>Code page</th>");
    page.append("<th>Media</th><th>Files</th></tr></thead>\n<tbody>\n");
    std::size_t row = 0;
    for (const JobResult& result : results) {
        if (!result.done) continue;
        ++row;
        const bool problem =
            result.outcome == JobOutcome::kWarnings || result.outcome == JobOutcome::kFailed;
        const bool converted = result.outcome != JobOutcome::kFailed;
        const JobOutputs outputs = OutputsOf(result.relative);
        page.append("<tr id=\"k")
            .append(std::to_string(row))
            .append(problem ? "\" class=\"keyboard problem\"><td>" : "\" class=\"keyboard\"><td>");
        if (converted) {
            page.append("<span class=\"name\">")
                .append(result.name.empty() ? "(no name)" : HtmlEscape(result.name))
                .append("</span><br>");
        }
        page.append("<small class=\"file\">")
            .append(HtmlEscape(result.relative))
            .append("</small>");
        if (!converted) {
            page.append("<br><small>").append(HtmlEscape(result.error)).append("</small>");
        }
        page.append("</td><td><span class=\"status ")
            .append(StatusName(result.outcome))
            .append("\">")
            .append(StatusName(result.outcome))
            .append(result.up_to_date ? "</span> <small class=\"uptodate\">up to date</small></td>"
                                      : "</span></td>")
            .append(NumberCell(result, result.panels, " optional"))
            .append(NumberCell(result, result.keys, " optional"))
            .append(NumberCell(result, result.warnings, " optional"));
        if (info.code_pages) {
            page.append("<td>")
                .append(converted ? std::to_string(result.code_page.Number()) : std::string())
                .append("</td>");
        }
        page.append("<td>")
            .append(converted ? MediaCell(result) : std::string())
            .append("</td><td>");
        if (converted) {
            page.append(Link(outputs.xml, "XML"));
            if (!info.xml_only && !info.single_page) {
                page.append(" ").append(Link(outputs.report, "report"));
                page.append(" ").append(Link(outputs.preview, "preview"));
            }
        }
        page.append("</td></tr>\n");
        if (converted) page.append(DetailsRow(result, outputs, info, read_output));
    }
    page.append("</tbody>\n</table></div>\n").append(kScript);
    return page;
}

}  // namespace dravonix

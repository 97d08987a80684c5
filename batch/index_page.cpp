#include "batch/index_page.h"

#include <cstddef>

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
tr.preview td { background: #fafafa; }
tr.preview img { max-width: 100%; border: 1px solid #ccc; background: #fff; }
label { margin-right: 1em; }
</style>
</head>
<body>
)";

constexpr const char* kScript = R"(<script>
// Opens or closes the preview row below a keyboard's row, loading the picture
// the first time.
for (const row of document.querySelectorAll('tr.keyboard')) {
  row.addEventListener('click', event => {
    if (event.target.closest('a')) return;
    const preview = row.nextElementSibling;
    if (!preview || !preview.classList.contains('preview')) return;
    const image = preview.querySelector('img');
    if (image && !image.getAttribute('src')) image.setAttribute('src', image.dataset.src);
    preview.hidden = !preview.hidden;
  });
}
// Shows every keyboard, or only those with warnings or failures.
function showOnlyProblems(problemsOnly) {
  for (const row of document.querySelectorAll('tr.keyboard')) {
    const hide = problemsOnly ? !row.classList.contains('problem') : false;
    row.hidden = hide;
    const preview = row.nextElementSibling;
    if (hide && preview && preview.classList.contains('preview')) preview.hidden = true;
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

std::string Count(std::size_t count, const char* noun) {
    std::string text = std::to_string(count);
    text.append(" ").append(noun);
    if (count != 1) text += "s";
    return text;
}

// A table cell with a number, or empty when the keyboard was not read.
std::string NumberCell(const JobResult& result, std::size_t value) {
    std::string cell = "<td class=\"n\">";
    if (result.outcome != JobOutcome::kFailed) cell.append(std::to_string(value));
    return cell.append("</td>");
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

std::string IndexPage(const std::vector<JobResult>& results, bool xml_only) {
    std::size_t counts[3] = {};
    std::size_t up_to_date = 0;
    for (const JobResult& result : results) {
        ++counts[static_cast<int>(result.outcome)];
        if (result.up_to_date) ++up_to_date;
    }
    auto count_of = [&counts](JobOutcome outcome) {
        return std::to_string(counts[static_cast<int>(outcome)]);
    };
    std::string page = kHead;
    page.append("<h1>Keyboard conversion</h1>\n<p class=\"summary\">")
        .append(Count(results.size(), "keyboard"))
        .append(": ")
        .append(count_of(JobOutcome::kClean))
        .append(" clean, ")
        .append(count_of(JobOutcome::kWarnings))
        .append(" with warnings, ")
        .append(count_of(JobOutcome::kFailed))
        .append(" failed, ")
        .append(std::to_string(up_to_date))
        .append(" up to date.");
    if (!xml_only) page.append(" Click a row to see the keyboard.");
    page.append(
        "</p>\n<p><label><input type=\"radio\" name=\"show\" value=\"all\" checked> all "
        "keyboards</label><label><input type=\"radio\" name=\"show\" value=\"problems\"> only "
        "with warnings or failures</label></p>\n"
        "<table>\n<thead><tr><th>Keyboard</th><th>Status</th><th>Panels</th><th>Keys</th>"
        "<th>Warnings</th><th>Files</th></tr></thead>\n<tbody>\n");
    std::size_t row = 0;
    for (const JobResult& result : results) {
        ++row;
        const bool problem =
            result.outcome == JobOutcome::kWarnings || result.outcome == JobOutcome::kFailed;
        const bool converted = result.outcome != JobOutcome::kFailed;
        const JobOutputs outputs = OutputsOf(result.relative);
        page.append("<tr id=\"k")
            .append(std::to_string(row))
            .append(problem ? "\" class=\"keyboard problem\"><td>" : "\" class=\"keyboard\"><td>")
            .append(HtmlEscape(result.relative));
        if (result.outcome == JobOutcome::kFailed) {
            page.append("<br><small>").append(HtmlEscape(result.error)).append("</small>");
        }
        page.append("</td><td><span class=\"status ")
            .append(StatusName(result.outcome))
            .append("\">")
            .append(StatusName(result.outcome))
            .append(result.up_to_date ? "</span> <small class=\"uptodate\">up to date</small></td>"
                                      : "</span></td>")
            .append(NumberCell(result, result.panels))
            .append(NumberCell(result, result.keys))
            .append(NumberCell(result, result.warnings))
            .append("<td>");
        if (converted) {
            page.append(Link(outputs.xml, "XML"));
            if (!xml_only) {
                page.append(" ").append(Link(outputs.report, "report"));
                page.append(" ").append(Link(outputs.preview, "preview"));
            }
        }
        page.append("</td></tr>\n");
        if (converted && !xml_only) {
            page.append("<tr class=\"preview\" hidden><td colspan=\"6\"><img alt=\"")
                .append(HtmlEscape(result.relative))
                .append("\" data-src=\"")
                .append(HtmlEscape(LinkAddress(outputs.preview)))
                .append("\"></td></tr>\n");
        }
    }
    page.append("</tbody>\n</table>\n").append(kScript);
    return page;
}

}  // namespace dravonix

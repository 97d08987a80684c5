#include "render/panel_layout.h"

#include <algorithm>
#include <string_view>

#include "platform/codepage.h"
#include "render/key_kinds.h"

namespace dravonix {

namespace {

/// Rough width of text in a sans-serif font of size, for placing things
/// beside it: the average glyph is taken as 0.6 of the size.
double TextWidth(std::string_view utf8, double size) {
    std::size_t characters = 0;
    for (const char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
    }
    return static_cast<double>(characters) * size * 0.6;
}

std::string Utf8(std::string_view narrow) {
    std::string text;
    AppendNarrowAsUtf8(narrow, text);
    return text;
}

/// The box around everything a panel draws in its own coordinates except the
/// image, which needs the box of the rest when its size is unknown.
Box PanelContent(const SubKeyDefinition& panel) {
    Box box;
    box.Add(0, 0);  // the image's corner: coordinates count from it
    box.Add(ShapeBounds(panel.shape));
    box.Add(ShapeBounds(panel.nondragarea));
    for (const Key& key : panel.nonshiftkeys.key) box.Add(ShapeBounds(key.shape));
    for (const Macro& macro : panel.nonshiftkeys.macro) box.Add(ShapeBounds(macro.shape));
    for (const Key& key : panel.keyswithoutshift.key) box.Add(ShapeBounds(key.shape));
    for (const Key& key : panel.keyswithshift.key) box.Add(ShapeBounds(key.shape));
    box.Add(panel.hotspot.x, panel.hotspot.y);
    box.Add(panel.dockrect.x1, panel.dockrect.y1);
    box.Add(panel.dockrect.x2, panel.dockrect.y2);
    return box;
}

/// Width of the legend item of caption.
double LegendItemWidth(std::string_view caption, const LayoutMetrics& m) {
    return m.small_size * 1.5 + TextWidth(caption, m.small_size) + m.small_size * 1.5;
}

}  // namespace

const char* LegendCaption(LegendMark mark) {
    switch (mark) {
        case LegendMark::kPanelOutline:
            return "panel outline";
        case LegendMark::kNonDragArea:
            return "non-drag area";
        case LegendMark::kDockRect:
            return "docking rectangle";
        case LegendMark::kHotSpot:
            return "hot spot";
        case LegendMark::kCount:
            break;
    }
    return "";
}

KeyboardLayout PlanKeyboard(const KeyDefinition& keyboard, const std::string& image_folder) {
    KeyboardLayout layout;
    layout.title = Utf8(keyboard.name);
    if (layout.title.empty()) layout.title = "(keyboard without a name)";

    // Each panel's content and image; the extent of all panels sets the unit.
    double extent = 0;
    double stacked = 0;
    int number = 0;
    for (const SubKeyDefinition& panel : keyboard.subkeydef) {
        PanelPlan plan;
        plan.panel = &panel;
        plan.heading = Concat({"Panel ", std::to_string(++number), " \xC2\xB7 ",
                               panel.name.empty() ? std::string("(no name)") : Utf8(panel.name),
                               " \xC2\xB7 type ",
                               panel.type.empty() ? std::string("(none)") : Utf8(panel.type)});
        const Box content = PanelContent(panel);
        plan.image_box = content;
        if (!panel.jpegnormal.empty()) {
            plan.image = LoadPanelImage(image_folder, panel.jpegnormal);
            if (plan.image.usable && plan.image.format.width > 0 && plan.image.format.height > 0) {
                plan.image_box = Box();
                plan.image_box.Add(0, 0);
                plan.image_box.Add(static_cast<double>(plan.image.format.width),
                                   static_cast<double>(plan.image.format.height));
            }
            if (!plan.image.usable) {
                plan.notes.push_back(
                    Concat({"image ", plan.image.problem, ": ", Utf8(panel.jpegnormal)}));
            }
        }
        plan.view = content;
        plan.view.Add(plan.image_box);
        plan.shift_view = !panel.keyswithshift.key.empty();
        extent = std::max(extent, plan.view.Width() * (plan.shift_view ? 2 : 1));
        stacked += plan.view.Height();
        layout.panels.push_back(std::move(plan));
    }
    extent = std::max(extent, stacked);

    LayoutMetrics& m = layout.metrics;
    const double u = std::max(1.0, extent / kMaxPictureSide);
    m.unit = u;
    m.margin *= u;
    m.title_size *= u;
    m.heading_size *= u;
    m.small_size *= u;
    m.line *= u;
    m.marker *= u;
    m.view_gap *= u;

    // Each view keeps a border for the marks drawn around its points.
    const double border = m.marker + 2 * m.line;
    double width = 0;
    for (PanelPlan& plan : layout.panels) {
        plan.view.x0 -= border;
        plan.view.y0 -= border;
        plan.view.x1 += border;
        plan.view.y1 += border;
        const double views =
            plan.view.Width() * (plan.shift_view ? 2 : 1) + (plan.shift_view ? m.view_gap : 0);
        width = std::max({width, views, TextWidth(plan.heading, m.heading_size)});
        for (const std::string& note : plan.notes) {
            width = std::max(width, TextWidth(note, m.small_size));
        }
    }
    width = std::max({width, TextWidth(layout.title, m.title_size), 40 * m.small_size});

    // Title, then the legend in rows no wider than the content.
    double y = m.margin + m.title_size;
    layout.title_y = y;
    y += m.title_size * 0.6;
    double x = 0;
    double row_middle = y + m.small_size;
    auto place = [&](std::string_view caption) {
        const double item = LegendItemWidth(caption, m);
        if (x > 0 && x + item > width) {
            x = 0;
            row_middle += m.small_size * 1.8;
        }
        layout.legend.push_back({m.margin + x, row_middle});
        x += item;
    };
    for (const KindStyle& style : kKindStyles) place(style.caption);
    for (int mark = 0; mark < static_cast<int>(LegendMark::kCount); ++mark) {
        place(LegendCaption(static_cast<LegendMark>(mark)));
    }
    y = row_middle + m.small_size * 1.5;

    // The panels, one below the other.
    for (PanelPlan& plan : layout.panels) {
        y += m.heading_size * 1.5;
        plan.heading_y = y;
        y += m.heading_size * 0.4;
        plan.first_note_y = y + m.small_size * 1.2;
        y += m.small_size * 1.5 * static_cast<double>(plan.notes.size());
        if (plan.shift_view) {
            y += m.small_size * 1.5;
            plan.caption_y = y;
        }
        y += m.small_size * 0.6;
        plan.view_top = y;
        plan.view_left[0] = m.margin;
        plan.view_left[1] = m.margin + plan.view.Width() + m.view_gap;
        y += plan.view.Height() + m.margin;
    }
    layout.width = width + 2 * m.margin;
    layout.height = y + m.margin;
    return layout;
}

}  // namespace dravonix

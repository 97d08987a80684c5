#include "render/panel_layout.h"

#include <algorithm>
#include <map>
#include <string_view>

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

std::string Utf8(std::string_view narrow, CodePage page) {
    std::string text;
    (void)page.AppendUtf8(narrow, text);
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

double ViewWidth(const PanelPlan& plan) {
    const double one = plan.view.Width() * plan.scale;
    return plan.shift_view ? 2 * one + LayoutMetrics().view_gap : one;
}

double ViewHeight(const PanelPlan& plan) { return plan.view.Height() * plan.scale; }

KeyboardLayout PlanKeyboard(const KeyDefinition& keyboard, const std::string& image_folder,
                            FileSystem& files, const CutImagePaths& cut_images, CodePage page) {
    KeyboardLayout layout;
    layout.code_page = page;
    layout.title = Utf8(keyboard.name, page);
    if (layout.title.empty()) layout.title = "(keyboard without a name)";

    const LayoutMetrics& m = layout.metrics;
    FileLookup images(files, image_folder);
    // Panels often share one background: each name is read and encoded once.
    std::map<std::string_view, PanelImage> loaded;
    int number = 0;
    double width = 0;
    for (const SubKeyDefinition& panel : keyboard.subkeydef) {
        PanelPlan plan;
        plan.panel = &panel;
        plan.heading =
            Concat({"Panel ", std::to_string(++number), " \xC2\xB7 ",
                    panel.name.empty() ? std::string("(no name)") : Utf8(panel.name, page),
                    " \xC2\xB7 type ",
                    panel.type.empty() ? std::string("(none)") : Utf8(panel.type, page)});
        const Box content = PanelContent(panel);
        plan.image_box = content;
        if (const auto cut = cut_images.find(layout.panels.size()); cut != cut_images.end()) {
            plan.notes.push_back(Concat({"image path cut at a blank: \"", Utf8(cut->second, page),
                                         "\" is read as \"", Utf8(panel.jpegnormal, page), "\""}));
        }
        if (!panel.jpegnormal.empty()) {
            auto [known, added] = loaded.try_emplace(panel.jpegnormal);
            if (added) known->second = LoadPanelImage(files, images, panel.jpegnormal, page);
            plan.image = known->second;
            if (plan.image.usable && plan.image.format.width > 0 && plan.image.format.height > 0) {
                plan.image_box = Box();
                plan.image_box.Add(0, 0);
                plan.image_box.Add(static_cast<double>(plan.image.format.width),
                                   static_cast<double>(plan.image.format.height));
            }
            if (!plan.image.usable) {
                plan.notes.push_back(
                    Concat({"image ", std::string(ImageProblemText(plan.image.problem)), ": ",
                            Utf8(panel.jpegnormal, page)}));
            }
        }
        plan.view = content;
        plan.view.Add(plan.image_box);
        plan.shift_view = !panel.keyswithshift.key.empty();

        // Large panels are scaled down to fit the picture's width (and, each
        // on its own, its height); each view keeps a border for the marks
        // drawn around its points.
        const double border = m.marker + 2 * m.line;
        const double room = kMaxPictureSide - 2 * m.margin - 2 * border -
                            (plan.shift_view ? m.view_gap + 2 * border : 0);
        const double fit_width = plan.shift_view ? room / 2 : room;
        const double fit_height = kMaxPictureSide - 2 * m.margin - 2 * border;
        plan.scale = 1;
        if (plan.view.Width() > fit_width) plan.scale = fit_width / plan.view.Width();
        if (plan.view.Height() * plan.scale > fit_height) {
            plan.scale = fit_height / plan.view.Height();
        }
        plan.view.x0 -= border / plan.scale;
        plan.view.y0 -= border / plan.scale;
        plan.view.x1 += border / plan.scale;
        plan.view.y1 += border / plan.scale;
        width = std::max({width, ViewWidth(plan), TextWidth(plan.heading, m.heading_size)});
        for (const std::string& note : plan.notes) {
            width = std::max(width, TextWidth(note, m.small_size));
        }
        layout.panels.push_back(std::move(plan));
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
        plan.view_left[1] = m.margin + plan.view.Width() * plan.scale + m.view_gap;
        y += ViewHeight(plan) + m.margin;
    }
    layout.width = width + 2 * m.margin;
    layout.height = y + m.margin;
    return layout;
}

}  // namespace dravonix

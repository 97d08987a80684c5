#include "render/panel_layout.h"

#include <algorithm>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

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

PanelImages::PanelImages(FileSystem& files, const std::string& folder, CodePage page)
    : files_(files), lookup_(files, folder), page_(page) {}

const PanelImage& PanelImages::Load(const std::string& narrow_name) {
    auto [known, added] = loaded_.try_emplace(narrow_name);
    if (added) known->second = LoadPanelImage(files_, lookup_, narrow_name, page_);
    return known->second;
}

PanelPlan PlanPanel(const SubKeyDefinition& panel, std::size_t index, const std::string* cut_path,
                    PanelImages& images, CodePage page, const LayoutMetrics& m) {
    PanelPlan plan;
    plan.panel = &panel;
    plan.heading = Concat({"Panel ", std::to_string(index + 1), " \xC2\xB7 ",
                           panel.name.empty() ? std::string("(no name)") : Utf8(panel.name, page),
                           " \xC2\xB7 type ",
                           panel.type.empty() ? std::string("(none)") : Utf8(panel.type, page)});
    const Box content = PanelContent(panel);
    plan.image_box = content;
    if (cut_path != nullptr) {
        plan.notes.push_back(Concat({"image path cut at a blank: \"", Utf8(*cut_path, page),
                                     "\" is read as \"", Utf8(panel.jpegnormal, page), "\""}));
    }
    plan.names_image = !panel.jpegnormal.empty();
    if (plan.names_image) {
        plan.image = images.Load(panel.jpegnormal);
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
    plan.view_left[0] = m.margin;
    plan.view_left[1] = m.margin + plan.view.Width() * plan.scale + m.view_gap;
    return plan;
}

double PlanWidth(const PanelPlan& plan, const LayoutMetrics& m) {
    double width = std::max(ViewWidth(plan), TextWidth(plan.heading, m.heading_size));
    for (const std::string& note : plan.notes) {
        width = std::max(width, TextWidth(note, m.small_size));
    }
    return width;
}

double PlaceHead(KeyboardLayout& layout, double content_width) {
    const LayoutMetrics& m = layout.metrics;
    const double width =
        std::max({content_width, TextWidth(layout.title, m.title_size), 40 * m.small_size});
    layout.width = width + 2 * m.margin;

    // Title, then the legend in rows no wider than the content.
    double y = m.margin + m.title_size;
    layout.title_y = y;
    y += m.title_size * 0.6;
    double x = 0;
    double row_middle = y + m.small_size;
    layout.legend.clear();
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
    return row_middle + m.small_size * 1.5;
}

double PlacePanel(PanelPlan& plan, double y, const LayoutMetrics& m) {
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
    return y + ViewHeight(plan) + m.margin;
}

const SharedImage* SharedImages::Find(const PanelPlan& plan) const {
    if (!plan.image.usable) return nullptr;
    const auto found = index_.find(plan.image.uri);
    return found == index_.end() ? nullptr : &list_[static_cast<std::size_t>(found->second)];
}

void SharedImages::Share(const PanelPlan& plan, int views) {
    const bool drawn = plan.image_box.Width() > 0 && plan.image_box.Height() > 0;
    if (!plan.image.usable || !drawn || views < 2) return;
    const auto [at, added] = index_.try_emplace(plan.image.uri, static_cast<int>(list_.size()));
    if (!added) return;
    list_.push_back({plan.image.uri, "image-" + std::to_string(list_.size() + 1),
                     plan.image_box.Width(), plan.image_box.Height()});
}

SharedImages ShareImages(const std::vector<PanelPlan>& panels) {
    std::unordered_map<std::string_view, int> views;
    for (const PanelPlan& plan : panels) {
        if (plan.image.usable) views[plan.image.uri] += plan.shift_view ? 2 : 1;
    }
    SharedImages shared;
    for (const PanelPlan& plan : panels) {
        if (plan.image.usable) shared.Share(plan, views[plan.image.uri]);
    }
    return shared;
}

std::string KeyboardTitle(std::string_view narrow_name, CodePage page) {
    std::string title = Utf8(narrow_name, page);
    if (title.empty()) title = "(keyboard without a name)";
    return title;
}

KeyboardLayout PlanKeyboard(const KeyDefinition& keyboard, const std::string& image_folder,
                            FileSystem& files, const CutImagePaths& cut_images, CodePage page) {
    KeyboardLayout layout;
    layout.code_page = page;
    layout.title = KeyboardTitle(keyboard.name, page);
    PanelImages images(files, image_folder, page);
    double width = 0;
    layout.panels.reserve(keyboard.subkeydef.size());
    for (const SubKeyDefinition& panel : keyboard.subkeydef) {
        const std::size_t index = layout.panels.size();
        const auto cut = cut_images.find(index);
        layout.panels.push_back(PlanPanel(panel, index,
                                          cut == cut_images.end() ? nullptr : &cut->second, images,
                                          page, layout.metrics));
        width = std::max(width, PlanWidth(layout.panels.back(), layout.metrics));
    }
    // The panels, one below the other.
    double y = PlaceHead(layout, width);
    for (PanelPlan& plan : layout.panels) y = PlacePanel(plan, y, layout.metrics);
    layout.height = y + layout.metrics.margin;
    return layout;
}

}  // namespace dravonix

#include "render/keyboard_svg.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/codepage.h"
#include "platform/file_system.h"
#include "platform/variant.h"
#include "render/key_kinds.h"
#include "render/key_labels.h"
#include "render/panel_layout.h"
#include "render/svg_builder.h"
#include "render/svg_geometry.h"

namespace dravonix {

namespace {

/// Colours of the marks that are not keys.
constexpr std::string_view kBackground = "#ffffff";
constexpr std::string_view kText = "#000000";
constexpr std::string_view kNoteText = "#b00000";
constexpr std::string_view kFrameFill = "#eeeeee";
constexpr std::string_view kFrameStroke = "#999999";
constexpr std::string_view kPanelOutline = "#444444";
constexpr std::string_view kNonDragFill = "#000000";
constexpr std::string_view kNonDragOpacity = "0.15";
constexpr std::string_view kDockStroke = "#0072b2";
constexpr std::string_view kHotSpotStroke = "#d55e00";

/// Sets text to value as an SVG number, in the room text already has.
void SetNumber(double value, std::string& text) {
    text.clear();
    AppendNumber(value, text);
}

/// True when text holds word (lower case ASCII) in any letter case.
bool ContainsIgnoringCase(std::string_view text, std::string_view word) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
    };
    for (std::size_t at = 0; at + word.size() <= text.size(); ++at) {
        std::size_t i = 0;
        while (i < word.size() && lower(text[at + i]) == word[i]) ++i;
        if (i == word.size()) return true;
    }
    return false;
}

/// Draws one picture from its layout.
class Painter {
public:
    /// Draws layout, whose images that several views show are shared.
    Painter(SvgBuilder& builder, const KeyboardLayout& layout, const SharedImages& shared)
        : b_(builder), layout_(layout), m_(layout.metrics), shared_(shared) {}

    /// The whole picture.
    void Paint();
    /// The root and all that comes before the panels; hands back the root.
    DomNode Head();
    /// One panel, appended to root; shared is the image of it that is
    /// shared (of which the id and size are used), else null.
    void Panel(const DomNode& root, const PanelPlan& plan, const SharedImage* shared);
    /// Panel without what its views show after the image: the views are
    /// left open for it.
    void PanelFrame(const DomNode& root, const PanelPlan& plan, const SharedImage* shared);
    /// What view index (0 or 1) of panel, drawn at scale (picture pixels per
    /// panel unit), shows after the image, appended to view: what Panel
    /// draws there and PanelFrame leaves out.
    void ViewContent(const DomNode& view, const SubKeyDefinition& panel, double scale, int index);

private:
    void Legend(const DomNode& root);
    /// The panel's heading, notes and captions.
    void PanelTop(const DomNode& root, const PanelPlan& plan);
    /// Puts every image that several views show into the definitions.
    void Definitions(const DomNode& root);
    /// The panel's image, or the frame in its place, in view.
    void Image(const DomNode& view, const PanelPlan& plan, const SharedImage* shared);
    DomNode View(const DomNode& root, const PanelPlan& plan, int index, const SharedImage* shared);
    /// Appends one element per record of shape to parent.
    void Outlines(const DomNode& parent, const KeyShape& shape);
    /// A key's or macro's group: kind colours, tooltip, outlines, label.
    void KeyGroup(const DomNode& parent, KeyKind kind, const KeyShape& shape,
                  std::string_view label, std::string_view details);
    /// KeyGroup of a key, with its label and details.
    void KeyGroup(const DomNode& parent, const Key& key, KeyKind kind, const SoundTable& sounds,
                  CodePage page);
    void Label(const DomNode& parent, const KeyShape& shape, std::string_view label);
    void HotSpot(const DomNode& parent, double x, double y);
    void DockRect(const DomNode& parent, const DockRect& dock);
    /// A line break between elements, which keeps the file readable.
    void Break(const DomNode& parent) { b_.Text(parent, "\n"); }
    /// Width of an outline, in the coordinates being drawn.
    double Line() const { return m_.line / scale_; }
    const std::string& N(double value) {
        number_.clear();
        AppendNumber(value, number_);
        return number_;
    }

    SvgBuilder& b_;
    const KeyboardLayout& layout_;
    const LayoutMetrics& m_;
    double scale_ = 1;  // picture pixels per unit of the coordinates being drawn
    std::string number_;
    // Texts made for every key, kept so that their room is allocated once.
    std::string label_, details_, x_, y_, size_, transform_, points_, group_class_;
    const SharedImages& shared_;
};

void Painter::Paint() {
    const DomNode root = Head();
    for (const PanelPlan& plan : layout_.panels) Panel(root, plan, shared_.Find(plan));
}

DomNode Painter::Head() {
    const PictureSize size = FitPicture(layout_.width, layout_.height);
    const std::string width = NumberText(size.width);
    const std::string height = NumberText(size.height);
    const std::string view_box =
        Concat({"0 0 ", NumberText(layout_.width), " ", NumberText(layout_.height)});
    DomNode root = b_.Element(b_.document(), "svg",
                              {{"xmlns", "http://www.w3.org/2000/svg"},
                               {"xmlns:xlink", "http://www.w3.org/1999/xlink"},
                               {"version", "1.1"},
                               {"width", width},
                               {"height", height},
                               {"viewBox", view_box},
                               {"font-family", "sans-serif"},
                               {"fill-rule", "evenodd"}});
    Break(root);
    b_.TextElement(root, "title", layout_.title);
    Break(root);
    // Keys take their colours from their class: a few bytes per key instead
    // of four attributes.
    std::string style = "\n.key{fill-opacity:";
    style.append(kKeyFillOpacity)
        .append("}\n.key text{fill:")
        .append(kText)
        .append(";fill-opacity:1;stroke:none;text-anchor:middle}\n");
    for (const KindStyle& kind : kKindStyles) {
        style.append(".").append(kind.name).append("{fill:").append(kind.fill);
        style.append(";stroke:").append(kind.stroke).append("}\n");
    }
    b_.TextElement(root, "style", style, {{"type", "text/css"}});
    Break(root);
    Definitions(root);
    b_.Leaf(root, "rect",
            {{"width", NumberText(layout_.width)},
             {"height", NumberText(layout_.height)},
             {"fill", kBackground},
             {"stroke", "none"}});
    Break(root);
    b_.TextElement(root, "text", layout_.title,
                   {{"x", N(m_.margin)},
                    {"y", NumberText(layout_.title_y)},
                    {"font-size", NumberText(m_.title_size)},
                    {"font-weight", "bold"},
                    {"fill", kText}});
    Break(root);
    Legend(root);
    return root;
}

void Painter::Legend(const DomNode& root) {
    DomNode legend = b_.Element(root, "g", {{"class", "legend"}, {"font-size", N(m_.small_size)}});
    const double s = m_.small_size;
    std::size_t item = 0;
    for (const KindStyle& style : kKindStyles) {
        const KeyboardLayout::LegendItem& at = layout_.legend[item++];
        b_.Leaf(legend, "rect",
                {{"x", N(at.x)},
                 {"y", NumberText(at.y - s / 2)},
                 {"width", NumberText(s)},
                 {"height", NumberText(s)},
                 {"fill", style.fill},
                 {"fill-opacity", kKeyFillOpacity},
                 {"stroke", style.stroke}});
        b_.TextElement(legend, "text", style.caption,
                       {{"x", N(at.x + s * 1.5)}, {"y", NumberText(at.y + s * 0.35)}});
    }
    for (int mark = 0; mark < static_cast<int>(LegendMark::kCount); ++mark) {
        const KeyboardLayout::LegendItem& at = layout_.legend[item++];
        const std::string x = NumberText(at.x);
        const std::string y = NumberText(at.y - s / 2);
        const std::string side = NumberText(s);
        switch (static_cast<LegendMark>(mark)) {
            case LegendMark::kPanelOutline:
                b_.Leaf(legend, "rect",
                        {{"x", x},
                         {"y", y},
                         {"width", side},
                         {"height", side},
                         {"fill", "none"},
                         {"stroke", kPanelOutline},
                         {"stroke-dasharray", NumberText(3 * Line())}});
                break;
            case LegendMark::kNonDragArea:
                b_.Leaf(legend, "rect",
                        {{"x", x},
                         {"y", y},
                         {"width", side},
                         {"height", side},
                         {"fill", kNonDragFill},
                         {"fill-opacity", kNonDragOpacity},
                         {"stroke", kPanelOutline}});
                break;
            case LegendMark::kDockRect:
                b_.Leaf(legend, "rect",
                        {{"x", x},
                         {"y", y},
                         {"width", side},
                         {"height", side},
                         {"fill", "none"},
                         {"stroke", kDockStroke},
                         {"stroke-width", NumberText(2 * Line())},
                         {"stroke-dasharray", NumberText(4 * Line())}});
                break;
            case LegendMark::kHotSpot:
            case LegendMark::kCount:
                HotSpot(legend, at.x + s / 2, at.y);
                break;
        }
        b_.TextElement(legend, "text", LegendCaption(static_cast<LegendMark>(mark)),
                       {{"x", N(at.x + s * 1.5)}, {"y", NumberText(at.y + s * 0.35)}});
    }
    Break(root);
}

void Painter::Panel(const DomNode& root, const PanelPlan& plan, const SharedImage* shared) {
    PanelTop(root, plan);
    scale_ = plan.scale;
    const DomNode view = View(root, plan, 0, shared);
    ViewContent(view, *plan.panel, plan.scale, 0);
    // Each view is drawn whole before what follows it: the document is
    // built in the order of its text.
    Break(root);
    if (plan.shift_view) {
        const DomNode shifted = View(root, plan, 1, shared);
        ViewContent(shifted, *plan.panel, plan.scale, 1);
        Break(root);
    }
    scale_ = 1;
}

void Painter::PanelFrame(const DomNode& root, const PanelPlan& plan, const SharedImage* shared) {
    PanelTop(root, plan);
    scale_ = plan.scale;
    (void)View(root, plan, 0, shared);
    Break(root);
    if (plan.shift_view) {
        (void)View(root, plan, 1, shared);
        Break(root);
    }
    scale_ = 1;
}

void Painter::PanelTop(const DomNode& root, const PanelPlan& plan) {
    b_.TextElement(root, "text", plan.heading,
                   {{"class", "heading"},
                    {"x", N(m_.margin)},
                    {"y", NumberText(plan.heading_y)},
                    {"font-size", NumberText(m_.heading_size)},
                    {"font-weight", "bold"},
                    {"fill", kText}});
    Break(root);
    double y = plan.first_note_y;
    for (const std::string& note : plan.notes) {
        b_.TextElement(root, "text", note,
                       {{"class", "note"},
                        {"x", N(m_.margin)},
                        {"y", NumberText(y)},
                        {"font-size", NumberText(m_.small_size)},
                        {"fill", kNoteText}});
        Break(root);
        y += m_.small_size * 1.5;
    }
    if (plan.shift_view) {
        static constexpr std::string_view kCaptions[2] = {"shift/caps off", "shift/caps on"};
        for (int index = 0; index < 2; ++index) {
            b_.TextElement(root, "text", kCaptions[index],
                           {{"x", N(plan.view_left[index])},
                            {"y", NumberText(plan.caption_y)},
                            {"font-size", NumberText(m_.small_size)},
                            {"font-style", "italic"},
                            {"fill", kText}});
            Break(root);
        }
    }
}

void Painter::ViewContent(const DomNode& view, const SubKeyDefinition& panel, double scale,
                          int index) {
    const CodePage page = layout_.code_page;
    const SoundTable& sounds = panel.sounds;
    const double outer_scale = scale_;
    scale_ = scale;
    if (index == 1) {
        for (const Key& key : panel.keyswithshift.key) {
            KeyGroup(view, key, KindOfKey(key, KeySection::kShiftOn), sounds, page);
        }
        scale_ = outer_scale;
        return;
    }
    if (!panel.nondragarea.rect.empty() || !panel.nondragarea.ellipse.empty() ||
        !panel.nondragarea.roundrect.empty() || !panel.nondragarea.polygon.empty()) {
        DomNode area = b_.Element(view, "g",
                                  {{"class", "nondragarea"},
                                   {"fill", kNonDragFill},
                                   {"fill-opacity", kNonDragOpacity},
                                   {"stroke", kPanelOutline}});
        Outlines(area, panel.nondragarea);
        Break(view);
    }
    if (!panel.shape.rect.empty() || !panel.shape.ellipse.empty() ||
        !panel.shape.roundrect.empty() || !panel.shape.polygon.empty()) {
        DomNode outline = b_.Element(view, "g",
                                     {{"class", "panelshape"},
                                      {"fill", "none"},
                                      {"stroke", kPanelOutline},
                                      {"stroke-dasharray", NumberText(3 * Line())}});
        Outlines(outline, panel.shape);
        Break(view);
    }
    for (const Key& key : panel.nonshiftkeys.key) {
        KeyGroup(view, key, KindOfKey(key, KeySection::kNonShift), sounds, page);
    }
    for (const Macro& macro : panel.nonshiftkeys.macro) {
        details_.clear();
        AppendMacroDetails(macro, sounds, page, details_);
        KeyGroup(view, KeyKind::kMacro, macro.shape, kMacroLabel, details_);
    }
    for (const Key& key : panel.keyswithoutshift.key) {
        KeyGroup(view, key, KindOfKey(key, KeySection::kShiftOff), sounds, page);
    }
    DockRect(view, panel.dockrect);
    HotSpot(view, panel.hotspot.x, panel.hotspot.y);
    Break(view);
    scale_ = outer_scale;
}

DomNode Painter::View(const DomNode& root, const PanelPlan& plan, int index,
                      const SharedImage* shared) {
    // The panel's coordinates are kept; the view moves and scales them.
    const std::string transform =
        Concat({"translate(", NumberText(plan.view_left[index]), " ", NumberText(plan.view_top),
                ") scale(", NumberText(plan.scale), ") translate(", NumberText(-plan.view.x0), " ",
                NumberText(-plan.view.y0), ")"});
    DomNode view = b_.Element(
        root, "g",
        {{"class", "view"}, {"transform", transform}, {"stroke-width", NumberText(Line())}});
    Break(view);
    Image(view, plan, shared);
    Break(view);
    return view;
}

void Painter::Definitions(const DomNode& root) {
    if (shared_.list().empty()) return;
    const DomNode defs = b_.Element(root, "defs");
    Break(root);
    Break(defs);
    for (const SharedImage& image : shared_.list()) {
        b_.Leaf(defs, "image",
                {{"id", image.id},
                 {"width", NumberText(image.width)},
                 {"height", NumberText(image.height)},
                 {"preserveAspectRatio", "none"},
                 {"xlink:href", image.uri}});
        Break(defs);
    }
}

void Painter::Image(const DomNode& view, const PanelPlan& plan, const SharedImage* shared) {
    const Box& box = plan.image_box;
    const std::string x = NumberText(box.x0);
    const std::string y = NumberText(box.y0);
    const std::string width = NumberText(box.Width());
    const std::string height = NumberText(box.Height());
    if (shared != nullptr) {
        const SharedImage& image = *shared;
        const std::string href = "#" + image.id;
        if (box.Width() == image.width && box.Height() == image.height) {
            b_.Leaf(view, "use", {{"xlink:href", href}, {"x", x}, {"y", y}});
        } else {
            // Another place of another size: the use is moved and stretched.
            const std::string transform =
                Concat({"translate(", x, " ", y, ") scale(", NumberText(box.Width() / image.width),
                        " ", NumberText(box.Height() / image.height), ")"});
            b_.Leaf(view, "use", {{"xlink:href", href}, {"transform", transform}});
        }
    } else if (plan.image.usable) {
        b_.Leaf(view, "image",
                {{"x", x},
                 {"y", y},
                 {"width", width},
                 {"height", height},
                 {"preserveAspectRatio", "none"},
                 {"xlink:href", plan.image.uri}});
    } else {
        b_.Leaf(view, "rect",
                {{"class", "frame"},
                 {"x", x},
                 {"y", y},
                 {"width", width},
                 {"height", height},
                 {"fill", plan.names_image ? kFrameFill : kBackground},
                 {"stroke", kFrameStroke}});
    }
}

void Painter::Outlines(const DomNode& parent, const KeyShape& shape) {
    // Rectangles and ellipses are given by two corners in any order.
    auto corners = [](double x1, double y1, double x2, double y2, std::string* x, std::string* y,
                      std::string* w, std::string* h) {
        SetNumber(std::min(x1, x2), *x);
        SetNumber(std::min(y1, y2), *y);
        SetNumber(std::fabs(x2 - x1), *w);
        SetNumber(std::fabs(y2 - y1), *h);
    };
    std::string x, y, w, h;
    for (const RectRecord& r : shape.rect) {
        corners(r.x1, r.y1, r.x2, r.y2, &x, &y, &w, &h);
        b_.Leaf(parent, "rect", {{"x", x}, {"y", y}, {"width", w}, {"height", h}});
    }
    for (const EllipseRecord& e : shape.ellipse) {
        const double x1 = e.x1, y1 = e.y1, x2 = e.x2, y2 = e.y2;
        b_.Leaf(parent, "ellipse",
                {{"cx", NumberText((x1 + x2) / 2)},
                 {"cy", NumberText((y1 + y2) / 2)},
                 {"rx", NumberText(std::fabs(x2 - x1) / 2)},
                 {"ry", NumberText(std::fabs(y2 - y1) / 2)}});
    }
    for (const RoundRectRecord& r : shape.roundrect) {
        corners(r.x1, r.y1, r.x2, r.y2, &x, &y, &w, &h);
        // The corners are quarters of an ellipse of widthellipse by heightellipse.
        const double rx = std::fabs(static_cast<double>(r.widthellipse)) / 2;
        const double ry = std::fabs(static_cast<double>(r.heightellipse)) / 2;
        b_.Leaf(parent, "rect",
                {{"x", x},
                 {"y", y},
                 {"width", w},
                 {"height", h},
                 {"rx", NumberText(rx)},
                 {"ry", NumberText(ry)}});
    }
    std::string& points = points_;
    for (const PolygonRecord& polygon : shape.polygon) {
        points.clear();
        for (const PointRecord& p : polygon.point) {
            if (!points.empty()) points += ' ';
            AppendDecimal(p.x, points);
            points += ',';
            AppendDecimal(p.y, points);
        }
        // Polygons fill alternately unless their mode asks for winding.
        if (ContainsIgnoringCase(polygon.polymode, "wind")) {
            b_.Leaf(parent, "polygon", {{"points", points}, {"fill-rule", "nonzero"}});
        } else {
            b_.Leaf(parent, "polygon", {{"points", points}});
        }
    }
}

void Painter::KeyGroup(const DomNode& parent, const Key& key, KeyKind kind,
                       const SoundTable& sounds, CodePage page) {
    label_.clear();
    AppendKeyLabel(key, page, label_);
    details_.clear();
    AppendKeyDetails(key, kind, sounds, page, details_);
    KeyGroup(parent, kind, key.shape, label_, details_);
}

void Painter::KeyGroup(const DomNode& parent, KeyKind kind, const KeyShape& shape,
                       std::string_view label, std::string_view details) {
    const KindStyle& style = StyleOf(kind);
    group_class_.assign("key ").append(style.name);
    DomNode group = b_.Element(parent, "g", {{"class", group_class_}});
    b_.TextElement(group, "title", details);
    Outlines(group, shape);
    if (!label.empty()) Label(group, shape, label);
    Break(parent);
}

void Painter::Label(const DomNode& parent, const KeyShape& shape, std::string_view label) {
    const Box box = ShapeBounds(shape);
    if (box.empty) return;
    std::size_t characters = 0;
    for (const char c : label) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
    }
    // The text is sized in picture pixels and placed at the key's middle by
    // a transform, so that its size stays sensible at any scale.
    const double width = box.Width() * scale_;
    const double fit_width = width * 0.9 / (0.6 * static_cast<double>(characters));
    const double size = std::min({box.Height() * scale_ * 0.45, fit_width, 1.5 * m_.heading_size});
    if (!(size >= 1)) return;
    const double x = (box.x0 + box.x1) / 2;
    const double y = (box.y0 + box.y1) / 2;
    size_.clear();
    AppendNumber(size, size_);
    y_.clear();
    if (scale_ == 1) {
        x_.clear();
        AppendNumber(x, x_);
        AppendNumber(y + size * 0.35, y_);
        b_.TextElement(parent, "text", label, {{"x", x_}, {"y", y_}, {"font-size", size_}});
        return;
    }
    transform_.assign("translate(");
    AppendNumber(x, transform_);
    transform_.append(" ");
    AppendNumber(y, transform_);
    transform_.append(") scale(");
    AppendNumber(1 / scale_, transform_);
    transform_.append(")");
    AppendNumber(size * 0.35, y_);
    b_.TextElement(parent, "text", label,
                   {{"transform", transform_}, {"y", y_}, {"font-size", size_}});
}

void Painter::HotSpot(const DomNode& parent, double x, double y) {
    const double r = m_.marker / scale_;
    const std::string path =
        Concat({"M", NumberText(x - r), " ", NumberText(y), "H", NumberText(x + r), "M",
                NumberText(x), " ", NumberText(y - r), "V", NumberText(y + r)});
    DomNode mark = b_.Element(parent, "g",
                              {{"class", "hotspot"},
                               {"fill", "none"},
                               {"stroke", kHotSpotStroke},
                               {"stroke-width", NumberText(2 * Line())}});
    b_.Leaf(mark, "circle",
            {{"cx", NumberText(x)}, {"cy", NumberText(y)}, {"r", NumberText(r * 0.6)}});
    b_.Leaf(mark, "path", {{"d", path}});
}

void Painter::DockRect(const DomNode& parent, const dravonix::DockRect& dock) {
    if (dock == dravonix::DockRect{}) return;
    const double x1 = dock.x1, y1 = dock.y1, x2 = dock.x2, y2 = dock.y2;
    b_.Leaf(parent, "rect",
            {{"class", "dockrect"},
             {"x", NumberText(std::min(x1, x2))},
             {"y", NumberText(std::min(y1, y2))},
             {"width", NumberText(std::fabs(x2 - x1))},
             {"height", NumberText(std::fabs(y2 - y1))},
             {"fill", "none"},
             {"stroke", kDockStroke},
             {"stroke-width", NumberText(2 * Line())},
             {"stroke-dasharray", NumberText(4 * Line())}});
}

/// The end tag of a picture's root.
constexpr std::string_view kSvgEnd = "</svg>";

/// The start tag of StandInRoot, which a part's text goes without.
constexpr std::string_view kStandInStart =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\">";

/// A root for a part of the picture drawn on its own: it declares the
/// picture's namespaces, and nothing else.
DomNode StandInRoot(SvgBuilder& builder) {
    return builder.Element(
        builder.document(), "svg",
        {{"xmlns", "http://www.w3.org/2000/svg"}, {"xmlns:xlink", "http://www.w3.org/1999/xlink"}});
}

}  // namespace

HRESULT BuildKeyboardSvg(const KeyDefinition& keyboard, const std::string& image_folder,
                         DomDocument* svg, FileSystem& files, const CutImagePaths& cut_images,
                         CodePage page) {
    svg->Release();
    DomDocument document;
    const HRESULT created = CreateDomDocument(&document);
    if (Failed(created)) return created;
    const KeyboardLayout layout = PlanKeyboard(keyboard, image_folder, files, cut_images, page);
    SvgBuilder builder(document);
    const SharedImages shared = ShareImages(layout.panels);
    Painter(builder, layout, shared).Paint();
    if (Failed(builder.status())) return builder.status();
    *svg = std::move(document);
    return S_OK;
}

bool SaveKeyboardSvg(const KeyDefinition& keyboard, const std::string& image_folder,
                     const std::string& path, std::string* error, FileSystem& files,
                     const CutImagePaths& cut_images, CodePage page) {
    DomDocument svg;
    const HRESULT built = BuildKeyboardSvg(keyboard, image_folder, &svg, files, cut_images, page);
    std::string reason;
    if (Succeeded(built)) {
        // The destination travels as one UTF-16 unit per byte of the path, which
        // the save turns back into the same bytes.
        const HRESULT saved = svg.save(Variant::String(MultiByteToWideChar(path)), files, &reason);
        if (Succeeded(saved)) return true;
        if (reason.empty()) reason = saved == E_OUTOFMEMORY ? "out of memory" : "not a file name";
    } else {
        reason = built == E_OUTOFMEMORY ? "out of memory" : "no document could be created";
    }
    if (error != nullptr) *error = FileFailureMessage("save", path, reason);
    return false;
}

PanelByPanelPicture::PanelByPanelPicture(const std::string& image_folder, FileSystem& files,
                                         CodePage page)
    : images_(files, image_folder, page) {
    view_layout_.code_page = page;
    layout_.code_page = page;
}

PanelPlan PanelByPanelPicture::Plan(const SubKeyDefinition& panel, std::size_t index,
                                    const std::string* cut_path) {
    PanelPlan plan = PlanPanel(panel, index, cut_path, images_, layout_.code_page, layout_.metrics);
    plan.panel = nullptr;  // the panel may move before it is drawn
    return plan;
}

HRESULT PanelByPanelPicture::DrawViews(const SubKeyDefinition& panel, double scale, bool shift_view,
                                       std::string (&views)[2]) const {
    // The text of each view goes without the tags of the stand-ins it is
    // drawn into: the root, and a group for the view.
    const std::string kStart = Concat({kStandInStart, "<g>"});
    constexpr std::string_view kEnd = "</g></svg>";
    for (int view = 0; view < (shift_view ? 2 : 1); ++view) {
        DomDocument document;
        const HRESULT created = CreateDomDocument(&document);
        if (Failed(created)) return created;
        SvgBuilder builder(document);
        const DomNode root = StandInRoot(builder);
        const SharedImages none;
        Painter(builder, view_layout_, none)
            .ViewContent(builder.Element(root, "g"), panel, scale, view);
        if (Failed(builder.status())) return builder.status();
        std::string& text = views[view];
        text.clear();
        std::size_t started = 0;
        const HRESULT saved = document.SaveToSink([&](std::string_view piece) {
            if (started < kStart.size()) {
                const std::size_t size = std::min(piece.size(), kStart.size() - started);
                if (piece.substr(0, size) != std::string_view(kStart).substr(started, size)) {
                    return false;
                }
                started += size;
                piece.remove_prefix(size);
            }
            text.append(piece);
            return true;
        });
        if (Failed(saved) && saved != E_FAIL) return saved;  // E_FAIL: not framed so
        if (Failed(saved) || started < kStart.size() || !std::string_view(text).ends_with(kEnd)) {
            return E_UNEXPECTED;
        }
        text.resize(text.size() - kEnd.size());
    }
    return S_OK;
}

HRESULT PanelByPanelPicture::Place(std::string_view keyboard_name, std::vector<PanelPlan> plans) {
    const LayoutMetrics& m = layout_.metrics;
    layout_.title = KeyboardTitle(keyboard_name, layout_.code_page);
    double content_width = 0;
    for (const PanelPlan& plan : plans) content_width = std::max(content_width, PlanWidth(plan, m));
    double y = PlaceHead(layout_, content_width);
    layout_.panels = std::move(plans);
    for (PanelPlan& plan : layout_.panels) y = PlacePanel(plan, y, m);
    layout_.height = y + m.margin;
    const SharedImages shared = ShareImages(layout_.panels);

    // The head, and the panels without what their views show.
    head_.clear();
    frames_.clear();
    for (const bool panels_part : {false, true}) {
        if (panels_part && layout_.panels.empty()) break;
        DomDocument document;
        const HRESULT created = CreateDomDocument(&document);
        if (Failed(created)) return created;
        SvgBuilder builder(document);
        Painter painter(builder, layout_, shared);
        if (panels_part) {
            const DomNode root = StandInRoot(builder);
            for (const PanelPlan& plan : layout_.panels) {
                painter.PanelFrame(root, plan, shared.Find(plan));
            }
        } else {
            (void)painter.Head();
        }
        if (Failed(builder.status())) return builder.status();
        std::string& text = panels_part ? frames_ : head_;
        const HRESULT saved = document.SaveToSink([&text](std::string_view piece) {
            text.append(piece);
            return true;
        });
        if (Failed(saved)) return saved;
        if (!std::string_view(text).ends_with(kSvgEnd)) return E_UNEXPECTED;
        text.resize(text.size() - kSvgEnd.size());
    }
    // Every view of the panels ends at a "</g>", in order: nothing else there
    // is a group, and text never holds a '<'.
    constexpr std::string_view kViewEnd = "</g>";
    view_ends_.clear();
    first_view_.clear();
    if (!layout_.panels.empty() && !frames_.starts_with(kStandInStart)) return E_UNEXPECTED;
    const std::size_t frames_start = layout_.panels.empty() ? 0 : kStandInStart.size();
    view_ends_.push_back(frames_start);
    std::size_t search = frames_start;
    for (const PanelPlan& plan : layout_.panels) {
        first_view_.push_back(view_ends_.size());
        for (int view = 0; view < (plan.shift_view ? 2 : 1); ++view) {
            const std::size_t end = frames_.find(kViewEnd, search);
            if (end == std::string::npos) return E_UNEXPECTED;
            view_ends_.push_back(end);
            search = end + kViewEnd.size();
        }
    }
    if (frames_.find(kViewEnd, search) != std::string::npos) return E_UNEXPECTED;
    return S_OK;
}

bool PanelByPanelPicture::WriteHead(const std::function<bool(std::string_view)>& sink) const {
    return sink(head_);
}

bool PanelByPanelPicture::WritePanel(std::size_t index, const std::string (&views)[2],
                                     const std::function<bool(std::string_view)>& sink) const {
    const std::string_view frames = frames_;
    for (int view = 0; view < (layout_.panels[index].shift_view ? 2 : 1); ++view) {
        const std::size_t end = first_view_[index] + static_cast<std::size_t>(view);
        if (!sink(frames.substr(view_ends_[end - 1], view_ends_[end] - view_ends_[end - 1])) ||
            !sink(views[view])) {
            return false;
        }
    }
    return true;
}

bool PanelByPanelPicture::WriteEnd(const std::function<bool(std::string_view)>& sink) const {
    const std::string_view frames = frames_;
    return sink(frames.substr(view_ends_.empty() ? frames.size() : view_ends_.back())) &&
           sink(kSvgEnd);
}

}  // namespace dravonix

// Where everything of the picture goes: the bounds of each panel in its own
// coordinates, the scale that brings them to at most kMaxPictureSide pixels,
// the place of the title, legend, headings and panel views, and the view box
// around it all. Text and marks are measured in pixels whatever the panels'
// coordinates. Headings take their own rows above each panel's views, so
// nothing a panel draws can cover them.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/key_definition.h"
#include "platform/file_lookup.h"
#include "render/panel_image.h"
#include "render/svg_geometry.h"

namespace dravonix {

/// One panel as it is drawn.
struct PanelPlan {
    const SubKeyDefinition* panel = nullptr;
    bool names_image = false;        // the panel names a normal image
    PanelImage image;                // meaningful when the panel names a normal image
    Box image_box;                   // where the image (or the frame in its place) goes
    Box view;                        // the panel's drawing area, in the panel's coordinates
    double scale = 1;                // picture pixels per panel unit: 1, or less for a large panel
    bool shift_view = false;         // the keys used with shift/caps on get a view of their own
    std::string heading;             // "Panel 1 · NAME · type TYPE"
    std::vector<std::string> notes;  // e.g. that the image was not found
    double heading_y = 0;            // baseline of the heading, in picture pixels
    double first_note_y = 0;         // baseline of the first note
    double caption_y = 0;            // baseline of the captions over the two views
    double view_top = 0;             // top of the views
    double view_left[2] = {0, 0};    // left edge of each view
};

/// Sizes in picture pixels.
struct LayoutMetrics {
    double margin = 12;
    double title_size = 20;
    double heading_size = 16;
    double small_size = 12;
    double line = 1;       // width of outlines
    double marker = 6;     // radius of the hot spot mark
    double view_gap = 24;  // between the two views of a panel
};

/// Width and height, in picture pixels, of the views of plan side by side.
double ViewWidth(const PanelPlan& plan);
double ViewHeight(const PanelPlan& plan);

/// The whole picture.
struct KeyboardLayout {
    LayoutMetrics metrics;
    std::string title;   // the keyboard's name (UTF-8)
    CodePage code_page;  // of the keyboard's narrow text
    double title_y = 0;
    struct LegendItem {
        double x = 0;
        double y = 0;  // middle of the row
    };
    std::vector<LegendItem> legend;  // kKindStyles, then the panel marks (LegendMarks)
    std::vector<PanelPlan> panels;
    double width = 0;  // the view box, from 0, 0
    double height = 0;
};

/// The legend's entries after the key kinds, in order.
enum class LegendMark { kPanelOutline, kNonDragArea, kDockRect, kHotSpot, kCount };

/// Caption of a legend mark.
const char* LegendCaption(LegendMark mark);

/// Panels (by index) whose normal image path the legacy reader cut at a
/// blank, with the path as the file wrote it (narrow text, as the model's):
/// the picture's note says so.
using CutImagePaths = std::map<std::size_t, std::string>;

/// The images of a keyboard's panels, each name read and encoded once:
/// panels often share one background.
class PanelImages {
public:
    /// Looks images up in folder through files; names are narrow text in
    /// code page page.
    PanelImages(FileSystem& files, const std::string& folder, CodePage page);
    /// LoadPanelImage of narrow_name, loaded at its first call.
    const PanelImage& Load(const std::string& narrow_name);

private:
    FileSystem& files_;
    FileLookup lookup_;
    CodePage page_;
    std::map<std::string, PanelImage> loaded_;
};

/// Plans panel, the keyboard's panel at index, all but its place in the
/// picture's height (the y values, which PlacePanel sets). cut_path is the
/// image path the file wrote when the reader cut it, else null.
PanelPlan PlanPanel(const SubKeyDefinition& panel, std::size_t index, const std::string* cut_path,
                    PanelImages& images, CodePage page, const LayoutMetrics& metrics);

/// The width plan needs in the picture: its views, heading and notes.
double PlanWidth(const PanelPlan& plan, const LayoutMetrics& metrics);

/// Places the title and the legend of layout (whose title is set) for
/// panels that need content_width at most, and sets the picture's width;
/// hands back where the first panel starts. The legend takes fewer rows as
/// the picture gets wider.
double PlaceHead(KeyboardLayout& layout, double content_width);

/// Places plan below y; hands back where the next panel starts.
double PlacePanel(PanelPlan& plan, double y, const LayoutMetrics& metrics);

/// An image that more than one view shows: embedded once, in the picture's
/// definitions, at the size of its first place, and used everywhere.
struct SharedImage {
    std::string uri;  // data: URI
    std::string id;
    double width = 0;
    double height = 0;
};

/// The images that more than one view shows, in the order of the picture's
/// definitions.
class SharedImages {
public:
    const std::vector<SharedImage>& list() const { return list_; }
    /// The image plan shows, when it is shared; else null.
    const SharedImage* Find(const PanelPlan& plan) const;
    /// Adds the image of plan when that many views show it, plan draws it
    /// and it is not there yet: at the size plan draws it.
    void Share(const PanelPlan& plan, int views);

private:
    std::vector<SharedImage> list_;
    std::unordered_map<std::string, int> index_;  // by data: URI
};

/// The images that more than one view of panels shows: each at its first
/// panel that draws it.
SharedImages ShareImages(const std::vector<PanelPlan>& panels);

/// The picture's title: the keyboard's name (narrow text) in UTF-8, or a
/// stand-in.
std::string KeyboardTitle(std::string_view narrow_name, CodePage page);

/// Plans the picture of keyboard; panel images are looked up in image_folder
/// through files. The keyboard's narrow text is in code page page.
KeyboardLayout PlanKeyboard(const KeyDefinition& keyboard, const std::string& image_folder,
                            FileSystem& files, const CutImagePaths& cut_images = {},
                            CodePage page = CodePage());

}  // namespace dravonix

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
#include <vector>

#include "model/key_definition.h"
#include "render/panel_image.h"
#include "render/svg_geometry.h"

namespace dravonix {

/// One panel as it is drawn.
struct PanelPlan {
    const SubKeyDefinition* panel = nullptr;
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

/// Plans the picture of keyboard; panel images are looked up in image_folder
/// through files. The keyboard's narrow text is in code page page.
KeyboardLayout PlanKeyboard(const KeyDefinition& keyboard, const std::string& image_folder,
                            FileSystem& files, const CutImagePaths& cut_images = {},
                            CodePage page = CodePage());

}  // namespace dravonix

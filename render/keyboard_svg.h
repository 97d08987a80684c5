// The picture of a keyboard as one self-contained SVG 1.1 document: every
// panel under a heading with its name and type, its normal image behind its
// keys (embedded, or a frame and a note when the file is missing), every
// outline of every key filled by the key's kind with a label and a tooltip,
// the panel's outline, non-drag area, docking rectangle and hot spot, and a
// legend. Building needs the COM runtime on the calling thread, like every
// DOM document.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dom/dom.h"
#include "model/key_definition.h"
#include "platform/file_system.h"
#include "render/panel_layout.h"

namespace dravonix {

/// Builds the picture of keyboard into a new document. Image names are read
/// relative to image_folder (in the platform's path encoding; "" for the
/// current folder), through files; the panels of cut_images get a note that
/// their image path was cut. Fails with the DOM's status
/// (CO_E_NOTINITIALIZED without the COM runtime, E_OUTOFMEMORY past the
/// document's node limit), leaving *svg null.
[[nodiscard]] HRESULT BuildKeyboardSvg(const KeyDefinition& keyboard,
                                       const std::string& image_folder, DomDocument* svg,
                                       FileSystem& files = SystemFileSystem(),
                                       const CutImagePaths& cut_images = {},
                                       CodePage page = CodePage());

/// Builds the picture and saves it under path through files, replacing the
/// file atomically. False when either step fails, with the reason in *error
/// (may be null), as "cannot save 'PATH': REASON".
[[nodiscard]] bool SaveKeyboardSvg(const KeyDefinition& keyboard, const std::string& image_folder,
                                   const std::string& path, std::string* error,
                                   FileSystem& files = SystemFileSystem(),
                                   const CutImagePaths& cut_images = {},
                                   CodePage page = CodePage());

/// Draws the picture BuildKeyboardSvg builds a panel at a time, while a
/// reader is still reading the keyboard. Each panel is planned once it is
/// complete, and what its views show (its keys and marks, in the panel's own
/// coordinates) is drawn on any thread; the panel is not needed after that.
/// What depends on the whole keyboard (the picture's size and legend, where
/// each panel goes, the images shared) is drawn by Place, once every panel
/// is planned; then the text is written in order: the head, each panel with
/// the text of its views, the end. It is BuildKeyboardSvg's text. Drawing
/// needs the COM runtime on the calling thread.
class PanelByPanelPicture {
public:
    /// Image names are read relative to image_folder through files.
    PanelByPanelPicture(const std::string& image_folder, FileSystem& files, CodePage page);
    PanelByPanelPicture(const PanelByPanelPicture&) = delete;
    PanelByPanelPicture& operator=(const PanelByPanelPicture&) = delete;

    /// The plan of panel, the keyboard's panel at index (without the panel:
    /// its member panel is null). cut_path is the image path the file wrote
    /// when the reader cut it, else null. One call at a time.
    PanelPlan Plan(const SubKeyDefinition& panel, std::size_t index, const std::string* cut_path);

    /// Draws into views what the views of panel show, at the scale of its
    /// plan; views[1] only when the plan has a view for shift. Calls may
    /// run at once, and with the other calls before Place. Fails with the
    /// DOM's status; E_UNEXPECTED when the text is not framed as expected.
    [[nodiscard]] HRESULT DrawViews(const SubKeyDefinition& panel, double scale, bool shift_view,
                                    std::string (&views)[2]) const;

    /// Places the panels of the keyboard named keyboard_name (narrow text),
    /// planned as plans in order, and draws the rest of the picture. Fails
    /// with the DOM's status; E_UNEXPECTED when its text does not frame the
    /// views as expected.
    [[nodiscard]] HRESULT Place(std::string_view keyboard_name, std::vector<PanelPlan> plans);

    /// After Place, each once and in this order: the text before the first
    /// panel; each panel's, given the texts DrawViews drew for it; the rest.
    /// False when sink refuses a piece.
    bool WriteHead(const std::function<bool(std::string_view)>& sink) const;
    bool WritePanel(std::size_t index, const std::string (&views)[2],
                    const std::function<bool(std::string_view)>& sink) const;
    bool WriteEnd(const std::function<bool(std::string_view)>& sink) const;

private:
    PanelImages images_;
    KeyboardLayout view_layout_;           // what DrawViews reads: metrics and code page
    KeyboardLayout layout_;                // made by Place
    std::string head_;                     // the text before the first panel
    std::string frames_;                   // the panels' text without what the views show
    std::vector<std::size_t> view_ends_;   // where each view ends in frames_, after its start
    std::vector<std::size_t> first_view_;  // of each panel, in view_ends_
};

}  // namespace dravonix

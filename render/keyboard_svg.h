// The picture of a keyboard as one self-contained SVG 1.1 document: every
// panel under a heading with its name and type, its normal image behind its
// keys (embedded, or a frame and a note when the file is missing), every
// outline of every key filled by the key's kind with a label and a tooltip,
// the panel's outline, non-drag area, docking rectangle and hot spot, and a
// legend. Building needs the COM runtime on the calling thread, like every
// DOM document.
#pragma once

#include <string>

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

}  // namespace dravonix

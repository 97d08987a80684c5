// What the picture writes on and over a key: its label, the names of virtual
// keys, and the details of a key or macro for its tooltip. All text is UTF-8,
// made from the model's narrow text in the keyboard's code page. Each text
// comes as a new string or appended to one: the picture appends, into one
// buffer for all its keys.
#pragma once

#include <cstdint>
#include <string>

#include "model/key.h"
#include "model/macro.h"
#include "model/records.h"
#include "platform/code_page.h"
#include "render/key_kinds.h"

namespace dravonix {

/// The name of a virtual-key code ("Backspace", "F12", "Num 7", "A"), or
/// "VK n" for a code that has none.
std::string VirtualKeyName(std::int32_t vkey);
void AppendVirtualKeyName(std::int32_t vkey, std::string& out);

/// The text shown in a key: the name of its virtual key, else its character
/// ("Space" for a blank, "0xNN" for a control character or a byte that is no
/// character alone), else for a key of
/// type 16 its target (cut to a few characters); empty when it has none.
std::string KeyLabel(const Key& key, CodePage page);
void AppendKeyLabel(const Key& key, CodePage page, std::string& out);

/// The label of every macro key.
constexpr const char* kMacroLabel = "macro";

/// The tooltip of a key: its kind, type, virtual key, character, sound (with
/// its file from sounds) and target, one per line.
std::string KeyDetails(const Key& key, KeyKind kind, const SoundTable& sounds, CodePage page);
void AppendKeyDetails(const Key& key, KeyKind kind, const SoundTable& sounds, CodePage page,
                      std::string& out);

/// The tooltip of a macro: its sound and its strokes in playing order.
std::string MacroDetails(const Macro& macro, const SoundTable& sounds, CodePage page);
void AppendMacroDetails(const Macro& macro, const SoundTable& sounds, CodePage page,
                        std::string& out);

}  // namespace dravonix

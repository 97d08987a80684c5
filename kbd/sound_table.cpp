#include "kbd/sound_table.h"

#include <cstdint>
#include <string>

#include "kbd/scanner.h"

namespace dravonix {

void HandleSoundLine(std::string_view line, SoundTable& sounds) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || equals == 0 || equals + 1 == line.size()) return;

    std::int32_t id = 0;
    // Like atoi: a line that does not start with a number has the id 0.
    (void)Scanner(line).Int(id);
    if (id < 0) return;

    // try_emplace leaves an existing entry, and builds no string for it.
    const auto entry = sounds.try_emplace(id, line.substr(equals + 1)).first;

    // The entry examined is the one in the table, which may be an older one.
    std::string& value = entry->second;
    const std::size_t start = value.find_first_not_of(" \t");
    if (start == std::string::npos) return;
    value.erase(0, start);
    if (value == "not defined") sounds.erase(entry);
}

}  // namespace dravonix

// The code page guess of a build without a character-set detector: always unsure.
#include "check/code_page_guess.h"

namespace dravonix {

bool CanGuessCodePage() { return false; }

std::optional<CodePageGuess> GuessCodePage(std::string_view, CodePage) { return std::nullopt; }

}  // namespace dravonix

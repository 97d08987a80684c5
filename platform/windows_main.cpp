// A program's entry point on Windows: the command line arrives as UTF-16
// (wmain) and goes on as UTF-8, so that any file name can be named on it.
#include <string>
#include <string_view>
#include <vector>

#include "platform/path_encoding.h"
#include "platform/program_main.h"

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(argc));
    for (int i = 0; i < argc; ++i) {
        const std::wstring_view wide(argv[i]);
        arguments.push_back(dravonix::PathFromUtf16(std::u16string(wide.begin(), wide.end())));
    }
    std::vector<char*> pointers;
    for (std::string& argument : arguments) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    return dravonix::ProgramMain(argc, pointers.data());
}

// sorvane-compare: compares two lists of records from files, as the window compares pasted ones.

#include <string>
#include <vector>

#include "compare_tool.h"

#if defined(_WIN32)
#include <windows.h>

// Arguments as Windows gives them, in UTF-16, so that any file name arrives whole; the tool
// takes UTF-8.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
        if (size > 1) {
            WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, arg.data(), size, nullptr, nullptr);
        }
        args.push_back(std::move(arg));
    }
    return sorvane::app::compareCommand(args);
}
#else
int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return sorvane::app::compareCommand(args);
}
#endif

// SPDX-License-Identifier: GPL-2.0-or-later
// Writes the documents made from the command line's table of options, at build time:
//   tessera-cli-docs man TEMPLATE OUT     the manual page, its options line replaced
//   tessera-cli-docs completion OUT       the bash completion script
#include "app/cli/CommandOptions.h"
#include "app/outputs/OutputFile.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// The line of the manual page's template that the options replace.
constexpr const char* kOptionsMarker = ".\\\" OPTIONS FROM THE COMMAND LINE'S TABLE\n";

int Write(const std::string& path, const std::string& text)
{
    std::string error;
    if (!WriteOutputFile(path, text, error)) {
        std::fprintf(stderr, "tessera-cli-docs: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "completion" && argc == 3) {
        return Write(argv[2], BashCompletionText());
    }
    if (what == "man" && argc == 4) {
        std::ifstream in(argv[2], std::ios::binary);
        std::ostringstream page;
        page << in.rdbuf();
        std::string text = page.str();
        const std::size_t at = text.find(kOptionsMarker);
        if (!in || at == std::string::npos) {
            std::fprintf(stderr, "tessera-cli-docs: %s has no options line\n", argv[2]);
            return 1;
        }
        text.replace(at, std::string(kOptionsMarker).size(), ManualOptionsText());
        return Write(argv[3], text);
    }
    std::fprintf(stderr, "usage: tessera-cli-docs man TEMPLATE OUT | completion OUT\n");
    return 2;
}

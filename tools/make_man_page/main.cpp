// make_man_page: writes a manual page from its template and the README
// (see ManPageTemplate.h for the lines of the template that take the README's text).
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "tools/make_man_page/ManPageTemplate.h"

namespace {

bool readWhole(const char* path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return static_cast<bool>(in);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make_man_page README TEMPLATE OUTPUT\n";
        return 2;
    }
    std::string readme, pageTemplate;
    for (const auto& [path, text] : {std::pair{argv[1], &readme}, {argv[2], &pageTemplate}}) {
        if (!readWhole(path, *text)) {
            std::cerr << "make_man_page: cannot read " << path << '\n';
            return 1;
        }
    }
    const OrvaneManPage::ManPage page = OrvaneManPage::expandManPage(pageTemplate, readme);
    for (const std::string& error : page.errors) {
        std::cerr << argv[2] << ": " << error << '\n';
    }
    if (!page.errors.empty()) {
        return 1;
    }
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out << page.text;
    out.close();
    if (!out) {
        std::cerr << "make_man_page: cannot write " << argv[3] << '\n';
        std::remove(argv[3]);
        return 1;
    }
    return 0;
}

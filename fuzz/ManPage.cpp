// A manual page template and a README for the manual page generator: up to the first zero byte
// the template, after it the README (without one, the input is both). Every directive that
// names a heading or table of the input is expanded, whatever the Markdown around it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tools/make_man_page/ManPageTemplate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\0');
    const std::string_view pageTemplate = input.substr(0, split);
    const std::string_view readme =
        split == std::string_view::npos ? input : input.substr(split + 1);
    OrvaneManPage::expandManPage(pageTemplate, readme);
    return 0;
}

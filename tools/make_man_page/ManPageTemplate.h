#pragma once
// A manual page made from its template and the README, so that the tables and sections the two
// share are written once. In the template, the comment lines
//   .\" README table: <heading> | <first header cell>
//   .\" README section: <heading>
// stand for the table under that heading whose first column has that header, and for
// everything under that heading (its sub-headings as sub-sections). Being comments, they leave
// the template a page of its own.

#include <string>
#include <string_view>
#include <vector>

namespace OrvaneManPage {

struct ManPage {
    std::string text;
    std::vector<std::string> errors;  // "line N: reason" of the template; empty when it worked
};

ManPage expandManPage(std::string_view pageTemplate, std::string_view readme);

}  // namespace OrvaneManPage

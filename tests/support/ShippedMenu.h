#pragma once
// The menu that Orvane ships (resources/OrvaneMenu.cfg) as a window of 640 x 480 shows it along
// its bottom edge, for tests of windows that should have found it.
// Header only; the test links OpenGlLib (for the glyph bitmap) and orvane_test_xvfb.

#include <string>

#include "tests/support/TextOnScreen.h"
#include "tests/support/Xvfb.h"

namespace OrvaneTest {

constexpr RGB kMenuRed{255, 128, 128};
constexpr RGB kMenuGreen{128, 255, 128};
constexpr RGB kMenuGrey{128, 128, 128};
constexpr RGB kMenuWhite{255, 255, 255};
constexpr RGB kMenuYellow{255, 255, 128};

// 640 x 480: seven columns; the bottom row's text at y = 440, x = 20 + 80 per column.
constexpr int kMenuRowTop = 440;
inline int menuColumnLeft(int column) {
    return 20 + 80 * column;
}

// Whether the label shows in the column; a half-bright channel may be rounded either way.
inline bool menuLabel(const WindowImage& image, int column, const std::string& text, RGB colour) {
    return showsText(image, text, menuColumnLeft(column), kMenuRowTop, colour, true, 1);
}

// The shipped items with every setting at its default.
inline bool showsShippedMenu(const WindowImage& image) {
    return menuLabel(image, 0, "Record", kMenuRed) && menuLabel(image, 1, "Settings", kMenuWhite) &&
           menuLabel(image, 2, "Commands", kMenuWhite) && menuLabel(image, 3, "Exit", kMenuWhite) &&
           menuLabel(image, 4, "Log", kMenuRed) && menuLabel(image, 5, "Detail:info", kMenuYellow);
}

}  // namespace OrvaneTest

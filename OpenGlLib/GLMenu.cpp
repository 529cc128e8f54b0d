#include "OpenGlLib/GLMenu.h"

#include <iterator>
#include <locale>
#include <sstream>

#include "OpenGlLib/GLMenuLayout.h"
#include "OpenGlLib/GLWindow.h"
#include "PlatformLib/VarText.h"
#include "RuntimeLib/Parser.h"

namespace Kor {

namespace {

using namespace GLMenuItems;

GLMenu& menuOf(void* context) {
    return *static_cast<GLMenu*>(context);
}

// A slider bound as an input stream reads it: an optional sign and decimal digits after any
// blanks, the rest ignored; no number gives 0 and one beyond the int range its nearest end.
int32_t streamedInt(const std::string& text) {
    std::istringstream stream(text);
    stream.imbue(std::locale::classic());
    int32_t value = 0;
    stream >> value;
    return value;
}

void addToggle(std::vector<std::string> tokens, void* context) {
    if (CheckArgCount(tokens, 3)) {
        menuOf(context).mItems.push_back(
            std::make_unique<Toggle>(std::move(tokens[1]), std::move(tokens[2])));
    }
}

void addButton(std::vector<std::string> tokens, void* context) {
    if (CheckArgCount(tokens, 3)) {
        menuOf(context).mItems.push_back(
            std::make_unique<Button>(std::move(tokens[1]), std::move(tokens[2])));
    }
}

void addSlider(std::vector<std::string> tokens, void* context) {
    if (CheckArgCount(tokens, 5)) {
        menuOf(context).mItems.push_back(
            std::make_unique<Slider>(std::move(tokens[1]), std::move(tokens[2]),
                                     streamedInt(tokens[3]), streamedInt(tokens[4])));
    }
}

// Label, variable and at least two options; fewer is ignored without a word.
void addTextSlider(std::vector<std::string> tokens, void* context) {
    if (tokens.size() < 5) {
        return;
    }
    std::vector<std::string> options(std::make_move_iterator(tokens.begin() + 3),
                                     std::make_move_iterator(tokens.end()));
    menuOf(context).mItems.push_back(std::make_unique<TextSlider>(
        std::move(tokens[1]), std::move(tokens[2]), std::move(options)));
}

struct MenuCommand {
    const char* suffix;
    CommandHandler handler;
};

constexpr MenuCommand kMenuCommands[] = {
    {".AddToggle", addToggle},
    {".AddButton", addButton},
    {".AddSlider", addSlider},
    {".AddTextSlider", addTextSlider},
};

}  // namespace

GLMenu::GLMenu(std::string name, GLWindow* window) : mName(std::move(name)), mWindow(window) {
    for (const MenuCommand& command : kMenuCommands) {
        RegisterCommand(mName + command.suffix, command.handler, this);
    }
    if (mWindow != nullptr) {
        mWindow->AddEventHandler(this);
    }
}

GLMenu::~GLMenu() {
    // A later menu of the same name has taken over the names; its commands stay.
    for (const MenuCommand& command : kMenuCommands) {
        UnregisterCommand(mName + command.suffix, this);
    }
    if (mWindow != nullptr) {
        std::erase(mWindow->mHandlers, static_cast<GLWindowEventHandler*>(this));
    }
}

GLMenuItems::Base* GLMenu::ItemAt(const WindowPoint& position) const {
    if (mWindow == nullptr) {
        return nullptr;
    }
    const std::optional<size_t> index =
        MenuGrid({mWindow->mWidth, mWindow->mHeight}).IndexAt(position);
    return index && *index < mItems.size() ? mItems[*index].get() : nullptr;
}

bool GLMenu::OnMouseButton(GLWindow& /*window*/, const WindowPoint& position, bool down,
                           MouseButton /*button*/) {
    GLMenuItems::Base* item = ItemAt(position);
    if (item == nullptr) {
        return false;
    }
    if (!down) {
        item->Apply(WindowPoint{0, 0});
    }
    return true;
}

bool GLMenu::OnMouseWheel(GLWindow& /*window*/, const WindowPoint& position, float notches) {
    GLMenuItems::Base* item = ItemAt(position);
    if (item == nullptr) {
        return false;
    }
    item->Apply(WindowPoint{0, TruncateToInt(double{notches} * -10.0)});
    return true;
}

void GLMenu::Draw() const {
    if (mWindow == nullptr) {
        return;
    }
    const MenuGrid grid({mWindow->mWidth, mWindow->mHeight});
    const size_t visible = grid.VisibleCount(mItems.size());
    for (size_t i = 0; i < visible; ++i) {
        mItems[i]->Draw(*mWindow, grid.TextPosition(i));
    }
}

}  // namespace Kor

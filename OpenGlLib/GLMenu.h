#pragma once
// A window's menu: items in a grid at the bottom of the window (GLMenuLayout.h), added by the
// commands <name>.AddToggle, .AddButton, .AddSlider and .AddTextSlider, which a window's menu
// script runs. As the window's first handler it sees the pointer before the application: a
// press over an item is consumed, the release applies the item under the pointer, and the
// wheel steps the item under it.

#include <memory>
#include <string>
#include <vector>

#include "OpenGlLib/GLMenuItems.h"
#include "OpenGlLib/GLWindowEvents.h"

namespace Kor {

class GLMenu : public GLWindowEventHandler {
public:
    // Registers the menu's four commands and appends the menu to the window's handlers.
    GLMenu(std::string name, GLWindow* window);
    // Takes the menu's commands and the menu itself out of the interpreter and the window, so
    // that nothing left behind points at it.
    ~GLMenu() override;
    GLMenu(const GLMenu&) = delete;
    GLMenu& operator=(const GLMenu&) = delete;

    bool OnMouseButton(GLWindow& window, const WindowPoint& position, bool down,
                       MouseButton button) override;
    bool OnMouseWheel(GLWindow& window, const WindowPoint& position, float notches) override;

    // The item whose cell holds the point in the window's current size, or null.
    GLMenuItems::Base* ItemAt(const WindowPoint& position) const;

    // Draws the items that reach into the window at their grid positions; the caller has set
    // a pixel projection with the origin at the top left.
    void Draw() const;

    std::vector<std::unique_ptr<GLMenuItems::Base>> mItems;
    std::string mName;  // the window's name followed by "Menu"; prefix of the commands
    GLWindow* mWindow = nullptr;
};

}  // namespace Kor

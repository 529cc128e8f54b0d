#pragma once
// The console: a command line in the lower half of a window. The backquote key shows and
// hides it; typed text is edited in place, Enter runs the line through the command
// interpreter, Up and Down recall earlier lines, Tab completes command and variable names, and
// while a line is typed the names it could complete to are listed below it.
//
// Sections: keys (OnKey and its editing steps); drawing (Texts, the pure part, and Draw).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "OpenGlLib/GLWindowEvents.h"

namespace Kor {

// Milliseconds of a monotonic clock; the console's cursor blinks with it.
using MillisecondClock = std::function<int64_t()>;

// One piece of text the console draws, in its own coordinates (top-left origin, y down).
struct ConsoleText {
    std::string text;
    float red = 1.0f;
    float green = 1.0f;
    float blue = 1.0f;
    WindowPoint position;
    friend bool operator==(const ConsoleText&, const ConsoleText&) = default;
};

class GLConsole : public GLWindowEventHandler {
public:
    // Starts hidden with an empty line and history. The window appends it to its handlers.
    explicit GLConsole(GLWindow* window, MillisecondClock clock = {});
    ~GLConsole() override;
    GLConsole(const GLConsole&) = delete;
    GLConsole& operator=(const GLConsole&) = delete;

    // Backquote toggles the console and is always consumed; a hidden console consumes nothing
    // else, so the keys reach the handlers after it.
    bool OnKey(GLWindow& window, Key key, char character, unsigned modifiers) override;

    // Draws the console when visible into the given viewport (origin at its lower-left corner,
    // as GL has it), with an orthographic extent in pixels. Leaves lighting, texturing and the
    // depth test off and blending on.
    void Draw(WindowSize viewportSize, WindowPoint viewportOrigin, WindowSize extent);

    // What Draw writes over its background at the clock's time, in drawing order: the blinking
    // cursor, the prompt with the line, then the completions that fit the extent.
    std::vector<ConsoleText> Texts(WindowSize extent, int64_t milliseconds) const;

    // Replaces the clock (tests and screenshots fix the cursor's phase with it).
    void SetClock(MillisecondClock clock);

    GLWindow* mWindow = nullptr;
    bool mVisible = false;
    std::string mLine;
    // Insertion point; may be out of range between keys and is brought into 0 .. length of
    // mLine where it is used.
    int32_t mCursor = 0;
    std::vector<std::string> mHistory;  // executed non-empty lines, oldest first
    int32_t mHistoryIndex = 0;          // mHistory.size() means "a new line"

private:
    int32_t LineLength() const;
    int32_t ClampedCursor() const;
    void ClampCursor();
    void DeleteAtCursor();
    void DeleteBeforeCursor();
    void Execute();
    void RecallOlder();
    void RecallNewer();
    void CompleteLine();

    MillisecondClock mClock;
};

}  // namespace Kor

#include "OpenGlLib/GLConsole.h"

#include "OpenGlLib/GLHeaders.h"

#include <algorithm>
#include <limits>

#include "OpenGlLib/GLWindow.h"
#include "PlatformLib/Process.h"
#include "RuntimeLib/Parser.h"

namespace Kor {

namespace {

constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t kInt32Min = std::numeric_limits<int32_t>::min();

int32_t lengthOf(const std::string& text) {
    return static_cast<int32_t>(std::min<size_t>(text.size(), kInt32Max));
}

}  // namespace

GLConsole::GLConsole(GLWindow* window, MillisecondClock clock) : mWindow(window) {
    SetClock(std::move(clock));
}

GLConsole::~GLConsole() = default;

void GLConsole::SetClock(MillisecondClock clock) {
    mClock = clock ? std::move(clock) : MillisecondClock(MonotonicMilliseconds);
}

// Keys.

int32_t GLConsole::LineLength() const {
    return lengthOf(mLine);
}

int32_t GLConsole::ClampedCursor() const {
    return std::clamp(mCursor, 0, LineLength());
}

void GLConsole::ClampCursor() {
    mCursor = ClampedCursor();
}

bool GLConsole::OnKey(GLWindow& /*window*/, Key key, char character, unsigned modifiers) {
    if (key == Key::Backquote) {
        mVisible = !mVisible;
        return true;
    }
    if (!mVisible) {
        return false;
    }
    const bool control = (modifiers & KeyModifier::Control) != 0;
    if (character != 0 && (modifiers & (KeyModifier::Alt | KeyModifier::Control)) == 0) {
        ClampCursor();
        mLine.insert(static_cast<size_t>(mCursor), 1, character);
        ++mCursor;
        return true;
    }
    switch (key) {
        case Key::A:
            if (control) {
                mCursor = 0;
            }
            return control;
        case Key::E:
            if (control) {
                mCursor = LineLength();
            }
            return control;
        case Key::K:
            if (control) {
                ClampCursor();
                mLine.erase(static_cast<size_t>(mCursor));
            }
            return control;
        case Key::D:
            if (control) {
                DeleteAtCursor();
            }
            return control;
        case Key::Delete:
            DeleteAtCursor();
            return true;
        case Key::Backspace:
            DeleteBeforeCursor();
            return true;
        case Key::Enter:
            Execute();
            return true;
        case Key::Up:
            RecallOlder();
            return true;
        case Key::Down:
            RecallNewer();
            return true;
        case Key::Left:
            // Unclamped, as a later use clamps; only kept from wrapping around.
            mCursor = mCursor > kInt32Min ? mCursor - 1 : mCursor;
            return true;
        case Key::Right:
            mCursor = mCursor < kInt32Max ? mCursor + 1 : mCursor;
            return true;
        case Key::Tab:
            CompleteLine();
            return true;
        case Key::Home:
            mCursor = 0;
            return true;
        case Key::End:
            mCursor = LineLength();
            return true;
        default:
            return false;  // the other keys, Other and codes beyond it
    }
}

// An out-of-range cursor is only brought back into range; nothing is erased then.
void GLConsole::DeleteAtCursor() {
    if (mCursor < 0) {
        mCursor = 0;
    } else if (mCursor > LineLength()) {
        mCursor = LineLength();
    } else if (mCursor < LineLength()) {
        mLine.erase(static_cast<size_t>(mCursor), 1);
    }
}

void GLConsole::DeleteBeforeCursor() {
    if (mCursor < 0) {
        mCursor = 0;
    } else if (mCursor > LineLength()) {
        mCursor = LineLength();
    } else if (mCursor >= 1) {
        mLine.erase(static_cast<size_t>(mCursor - 1), 1);
        --mCursor;
    }
}

void GLConsole::Execute() {
    // The command runs on its own copy: whatever it does, the line is what was typed.
    const std::string line = mLine;
    ExecuteLine(line, 0);
    if (!line.empty()) {
        mHistory.push_back(line);
    }
    mHistoryIndex = static_cast<int32_t>(std::min<size_t>(mHistory.size(), kInt32Max));
    mLine.clear();
}

void GLConsole::RecallOlder() {
    const int64_t i = int64_t{mHistoryIndex} - 1;
    if (i >= 0 && i < static_cast<int64_t>(mHistory.size())) {
        mHistoryIndex = static_cast<int32_t>(i);
        mLine = mHistory[static_cast<size_t>(i)];
        mCursor = LineLength();
    }
}

void GLConsole::RecallNewer() {
    const int64_t i = int64_t{mHistoryIndex} + 1;
    const auto size = static_cast<int64_t>(mHistory.size());
    if (i < size) {
        mHistoryIndex = static_cast<int32_t>(i);
        mLine = mHistory[static_cast<size_t>(i)];
        mCursor = LineLength();
    } else if (i == size) {
        mHistoryIndex = static_cast<int32_t>(i);
        mLine.clear();
    }
}

// One candidate becomes the line; several extend it by the prefix they all share.
void GLConsole::CompleteLine() {
    const std::vector<std::string> candidates = Complete(mLine);
    if (candidates.empty()) {
        return;
    }
    if (candidates.size() == 1) {
        mLine = candidates.front();
        mCursor = LineLength();
        return;
    }
    const std::string& first = candidates.front();
    size_t shared = mLine.size();
    while (first.size() > shared &&
           std::all_of(candidates.begin() + 1, candidates.end(), [&](const std::string& other) {
               return other.size() > shared && other[shared] == first[shared];
           })) {
        ++shared;
    }
    if (shared != mLine.size()) {
        mLine = first.substr(0, shared);
        mCursor = LineLength();
    }
}

// Drawing.

std::vector<ConsoleText> GLConsole::Texts(WindowSize extent, int64_t milliseconds) const {
    std::vector<ConsoleText> texts;
    // The prompt is one character wide, so the underscore falls under the character at the
    // cursor, one pixel below the line.
    if ((milliseconds % 1000 + 1000) % 1000 >= 500) {
        texts.push_back({std::string(static_cast<size_t>(ClampedCursor()) + 1, ' ') + "_", 0.0f,
                         1.0f, 0.0f, WindowPoint{10, 21}});
    }
    texts.push_back({">" + mLine, 1.0f, 1.0f, 1.0f, WindowPoint{10, 20}});
    if (!mLine.empty()) {
        const std::vector<std::string> candidates = Complete(mLine);
        for (size_t i = 0; i < candidates.size(); ++i) {
            const int64_t y = (static_cast<int64_t>(i) + 2) * 20;
            if (y > int64_t{extent.height} - 20) {
                break;
            }
            texts.push_back(
                {candidates[i], 0.7f, 0.7f, 0.7f, WindowPoint{10, static_cast<int32_t>(y)}});
        }
    }
    return texts;
}

void GLConsole::Draw(WindowSize viewportSize, WindowPoint viewportOrigin, WindowSize extent) {
    if (!mVisible) {
        return;
    }
    glViewport(viewportOrigin.x, viewportOrigin.y, viewportSize.width, viewportSize.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, extent.width, extent.height, 0, -1, 1);

    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    const auto width = static_cast<GLfloat>(extent.width);
    const auto height = static_cast<GLfloat>(extent.height);
    glColor4f(0.0f, 0.0f, 0.0f, 0.75f);
    glBegin(GL_QUADS);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(width, 0.0f);
    glVertex2f(width, height);
    glVertex2f(0.0f, height);
    glEnd();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glLineWidth(2.0f);
    glBegin(GL_LINE_LOOP);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(width, 0.0f);
    glVertex2f(width, height);
    glVertex2f(0.0f, height);
    glEnd();

    ClampCursor();
    if (mWindow == nullptr) {
        return;
    }
    for (const ConsoleText& text : Texts(extent, mClock())) {
        glColor3f(text.red, text.green, text.blue);
        mWindow->DrawText(text.text, text.position);
    }
}

}  // namespace Kor

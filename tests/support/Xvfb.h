#pragma once
// A private X server for tests (Xvfb, which renders GL with Mesa), and a test's own client
// connection to it: find windows, read their pixels, drive the pointer through XTest and ask
// windows to close as a window manager does.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace OrvaneTest {

using namespace std::chrono_literals;

// Polls a condition every few milliseconds until it holds or the time is up.
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 30s);

class XvfbServer {
public:
    // Starts Xvfb on a free display number; display() is empty when it could not start.
    explicit XvfbServer(int width = 1024, int height = 768);
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    const std::string& display() const { return mDisplay; }  // ":N"

private:
    int mPid = -1;
    std::string mDisplay;
};

using RGB = std::array<uint8_t, 3>;

struct WindowImage {
    int width = 0;
    int height = 0;
    std::vector<RGB> pixels;  // rows top to bottom
    RGB at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Pixels of the given colour within radius of (x, y).
    int countNear(int x, int y, int radius, RGB colour) const;
    int count(RGB colour) const;
};

class XSession {
public:
    explicit XSession(const std::string& display);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    bool connected() const { return mDisplay != nullptr; }
    // A top-level window with that title, waiting for it to be mapped; 0 when none came.
    unsigned long waitForWindow(const std::string& title, std::chrono::milliseconds timeout = 30s);
    bool windowExists(const std::string& title);
    WindowImage capture(unsigned long window);
    // Pointer motion in window coordinates, buttons 1 to 5, all through XTest.
    void movePointer(unsigned long window, int x, int y);
    void button(int number, bool down);
    void sendDeleteWindow(unsigned long window);
    void resize(unsigned long window, int width, int height);

    // Keyboard through XTest. Keys are named by keysym ("Return", "grave", "a"); text is typed
    // key by key, with Shift where a character needs it.
    unsigned keycodeOf(const std::string& keysymName);
    void tapKey(unsigned keycode);
    void tapNamed(const std::string& keysymName);
    void typeText(const std::string& text);
    // Gives the window the keyboard, as a window manager does.
    void focus(unsigned long window);
    // Puts other symbols on a key, as switching the keyboard layout does.
    void remapKey(unsigned keycode, const std::vector<std::string>& keysymNames);
    // Whether the window asks window managers for keyboard focus (its input hint).
    bool asksForKeyboardFocus(unsigned long window);

private:
    Display* mDisplay = nullptr;
};

}  // namespace OrvaneTest

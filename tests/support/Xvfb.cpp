#include "tests/support/Xvfb.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

namespace OrvaneTest {

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        if (condition()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
}

XvfbServer::XvfbServer(int width, int height) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return;
    }
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], 3);  // -displayfd writes the chosen display number here
        const int devnull = ::open("/dev/null", O_WRONLY);
        ::dup2(devnull, 1);
        ::dup2(devnull, 2);
        ::execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", screen.c_str(), "-nolisten",
                 "tcp", "-noreset", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        return;
    }
    mPid = pid;
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fds[0], POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) {
            continue;
        }
        char c = 0;
        const ssize_t got = ::read(fds[0], &c, 1);
        if (got <= 0) {
            break;  // Xvfb ended without a display
        }
        if (c == '\n') {
            mDisplay = ":" + number;
            break;
        }
        number += c;
    }
    ::close(fds[0]);
}

XvfbServer::~XvfbServer() {
    if (mPid > 0) {
        ::kill(mPid, SIGTERM);
        int status = 0;
        while (::waitpid(mPid, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

int WindowImage::countNear(int x, int y, int radius, RGB colour) const {
    int found = 0;
    for (int j = y - radius; j <= y + radius; ++j) {
        for (int i = x - radius; i <= x + radius; ++i) {
            if (i >= 0 && j >= 0 && i < width && j < height && at(i, j) == colour) {
                ++found;
            }
        }
    }
    return found;
}

int WindowImage::count(RGB colour) const {
    int found = 0;
    for (const RGB& pixel : pixels) {
        found += pixel == colour ? 1 : 0;
    }
    return found;
}

namespace {
int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}  // windows may vanish while we look
}  // namespace

XSession::XSession(const std::string& display) {
    mDisplay = XOpenDisplay(display.c_str());
    XSetErrorHandler(ignoreErrors);
}

XSession::~XSession() {
    if (mDisplay != nullptr) {
        XCloseDisplay(mDisplay);
    }
}

static Window findMapped(Display* display, const std::string& title) {
    Window root = 0, parent = 0, found = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) {
        return 0;
    }
    for (unsigned int i = 0; i < count && found == 0; ++i) {
        char* name = nullptr;
        XWindowAttributes attributes;
        if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
            if (title == name && XGetWindowAttributes(display, children[i], &attributes) &&
                attributes.map_state == IsViewable) {
                found = children[i];
            }
            XFree(name);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

unsigned long XSession::waitForWindow(const std::string& title, std::chrono::milliseconds timeout) {
    Window found = 0;
    waitFor([&] { return (found = findMapped(mDisplay, title)) != 0; }, timeout);
    return found;
}

bool XSession::windowExists(const std::string& title) {
    return findMapped(mDisplay, title) != 0;
}

WindowImage XSession::capture(unsigned long window) {
    WindowImage image;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(mDisplay, window, &attributes)) {
        return image;
    }
    XImage* x = XGetImage(mDisplay, window, 0, 0, static_cast<unsigned>(attributes.width),
                          static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (x == nullptr) {
        return image;
    }
    image.width = attributes.width;
    image.height = attributes.height;
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int i = 0; i < image.width; ++i) {
            const unsigned long p = XGetPixel(x, i, y);
            image.pixels[static_cast<size_t>(y) * image.width + i] = {
                static_cast<uint8_t>((p & x->red_mask) >> 16),
                static_cast<uint8_t>((p & x->green_mask) >> 8),
                static_cast<uint8_t>(p & x->blue_mask)};
        }
    }
    XDestroyImage(x);
    return image;
}

void XSession::movePointer(unsigned long window, int x, int y) {
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(mDisplay, window, DefaultRootWindow(mDisplay), x, y, &rootX, &rootY,
                          &child);
    XTestFakeMotionEvent(mDisplay, DefaultScreen(mDisplay), rootX, rootY, CurrentTime);
    XSync(mDisplay, False);
}

void XSession::button(int number, bool down) {
    XTestFakeButtonEvent(mDisplay, static_cast<unsigned>(number), down ? True : False, CurrentTime);
    XSync(mDisplay, False);
}

void XSession::resize(unsigned long window, int width, int height) {
    XResizeWindow(mDisplay, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(mDisplay, False);
}

void XSession::sendDeleteWindow(unsigned long window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(mDisplay, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(mDisplay, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(mDisplay, window, False, NoEventMask, &event);
    XSync(mDisplay, False);
}

unsigned XSession::keycodeOf(const std::string& keysymName) {
    return XKeysymToKeycode(mDisplay, XStringToKeysym(keysymName.c_str()));
}

void XSession::tapKey(unsigned keycode) {
    XTestFakeKeyEvent(mDisplay, keycode, True, CurrentTime);
    XTestFakeKeyEvent(mDisplay, keycode, False, CurrentTime);
    XSync(mDisplay, False);
}

void XSession::tapNamed(const std::string& keysymName) {
    tapKey(keycodeOf(keysymName));
}

void XSession::typeText(const std::string& text) {
    const unsigned shift = keycodeOf("Shift_L");
    for (char c : text) {
        // Printable ASCII characters are their own keysyms.
        const auto symbol = static_cast<KeySym>(static_cast<unsigned char>(c));
        const KeyCode code = XKeysymToKeycode(mDisplay, symbol);
        const bool shifted = XkbKeycodeToKeysym(mDisplay, code, 0, 0) != symbol;
        if (shifted) {
            XTestFakeKeyEvent(mDisplay, shift, True, CurrentTime);
        }
        tapKey(code);
        if (shifted) {
            XTestFakeKeyEvent(mDisplay, shift, False, CurrentTime);
        }
    }
    XSync(mDisplay, False);
}

void XSession::focus(unsigned long window) {
    XSetInputFocus(mDisplay, window, RevertToParent, CurrentTime);
    XSync(mDisplay, False);
}

void XSession::remapKey(unsigned keycode, const std::vector<std::string>& keysymNames) {
    std::vector<KeySym> symbols;
    for (const std::string& name : keysymNames) {
        symbols.push_back(XStringToKeysym(name.c_str()));
    }
    XChangeKeyboardMapping(mDisplay, static_cast<int>(keycode), static_cast<int>(symbols.size()),
                           symbols.data(), 1);
    XSync(mDisplay, False);
}

bool XSession::asksForKeyboardFocus(unsigned long window) {
    XWMHints* hints = XGetWMHints(mDisplay, window);
    const bool asks = hints != nullptr && (hints->flags & InputHint) != 0 && hints->input;
    if (hints != nullptr) {
        XFree(hints);
    }
    return asks;
}

}  // namespace OrvaneTest

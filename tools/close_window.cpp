// close_window: asks every top-level window with the given name to close, the way a window
// manager does (a WM_DELETE_WINDOW client message), and waits up to a timeout for them to go.
//   close_window [--timeout SECONDS] NAME
// Exit status: 0 when at least one window was asked and all of them are gone, 1 when no such
// window exists, 2 when one is still there at the timeout, 3 without a display.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<Window> windowsNamed(Display* display, const std::string& name) {
    std::vector<Window> found;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) {
        return found;
    }
    for (unsigned int i = 0; i < count; ++i) {
        char* title = nullptr;
        if (XFetchName(display, children[i], &title) != 0 && title != nullptr) {
            if (name == title) {
                found.push_back(children[i]);
            }
            XFree(title);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}  // the window may vanish meanwhile

}  // namespace

int main(int argc, char** argv) {
    double timeout = 10.0;
    std::string name;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
            timeout = std::atof(argv[++i]);
        } else {
            name = argv[i];
        }
    }
    if (name.empty()) {
        std::fprintf(stderr, "usage: close_window [--timeout SECONDS] NAME\n");
        return 64;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "close_window: cannot open the display\n");
        return 3;
    }
    XSetErrorHandler(ignoreErrors);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    std::vector<Window> windows = windowsNamed(display, name);
    if (windows.empty()) {
        XCloseDisplay(display);
        return 1;
    }
    for (Window window : windows) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = protocols;
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(deleteWindow);
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
    }
    XFlush(display);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout);
    int status = 2;
    while (std::chrono::steady_clock::now() < deadline) {
        if (windowsNamed(display, name).empty()) {
            status = 0;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    XCloseDisplay(display);
    return status;
}

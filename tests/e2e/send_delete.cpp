// SPDX-License-Identifier: GPL-3.0-or-later
// Asks a window to close the way a window manager's close box does: a
// WM_DELETE_WINDOW client message under WM_PROTOCOLS. Unlike destroying the
// window, this reaches the program as an ordinary close request, so what it
// does on closing is what a user gets.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

namespace {

// A window that does not list WM_DELETE_WINDOW would simply be killed by a
// window manager's close box.
bool AcceptsDelete(Display* display, Window window, Atom deleteWindow) {
    Atom* protocols = nullptr;
    int count = 0;
    if (XGetWMProtocols(display, window, &protocols, &count) == 0) {
        return false;
    }
    bool found = false;
    for (int i = 0; i < count; ++i) {
        found = found || protocols[i] == deleteWindow;
    }
    XFree(protocols);
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WINDOW-ID\n", argv[0]);
        return 2;
    }
    char* end = nullptr;
    const unsigned long id = std::strtoul(argv[1], &end, 0);
    if (end == argv[1] || *end != '\0' || id == 0) {
        std::fprintf(stderr, "%s: not a window id: %s\n", argv[0], argv[1]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
        return 1;
    }
    const Window window = id;
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    if (!AcceptsDelete(display, window, deleteWindow)) {
        std::fprintf(stderr, "%s: window 0x%lx does not accept WM_DELETE_WINDOW\n", argv[0], id);
        XCloseDisplay(display);
        return 1;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return sent != 0 ? 0 : 1;
}

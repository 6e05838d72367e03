// SPDX-License-Identifier: GPL-3.0-or-later
// startup_probe [-v] PROGRAM [ARGS...]
//
// Starts PROGRAM and prints, in milliseconds, the time from the fork to the moment its first
// top-level window is mapped on the X server of $DISPLAY, then ends the program. The window is
// recognised by its _NET_WM_PID, so nothing in the measured program has to cooperate.
//
// Listening on the root window before the fork means the map cannot be missed, and the wait
// blocks on the X connection: no polling interval is added to the figure. There must be no
// window manager on the display (a bare Xvfb), or the map would be redirected to it.
//
// -v also names the window and its size on standard error.
//
// Exit status: 0 measured, 1 the program ended or no window came within 30 s, 2 usage or no
// display.

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sys/select.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

long windowPid(Display* display, Window window, Atom pidAtom)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data && type == XA_CARDINAL && format == 32 && count == 1) {
        // Xlib hands 32-bit properties back as longs.
        pid = *reinterpret_cast<long*>(data);
    }
    if (data)
        XFree(data);
    return pid;
}

// Errors about windows that vanished between the event and the property read are expected.
int ignoreErrors(Display*, XErrorEvent*) { return 0; }

void endChild(pid_t child)
{
    kill(child, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(child, nullptr, WNOHANG) == child)
            return;
        usleep(10000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

} // namespace

int main(int argc, char* argv[])
{
    int first = 1;
    const bool verbose = argc > 1 && std::strcmp(argv[1], "-v") == 0;
    if (verbose)
        ++first;
    if (argc <= first) {
        std::fprintf(stderr, "usage: startup_probe [-v] PROGRAM [ARGS...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "startup_probe: cannot open the display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(display);
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const double start = nowMs();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("startup_probe: fork");
        return 2;
    }
    if (child == 0) {
        close(ConnectionNumber(display));
        execvp(argv[first], argv + first);
        std::perror("startup_probe: exec");
        _exit(127);
    }

    const int fd = ConnectionNumber(display);
    while (nowMs() - start < 30000.0) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify || event.xmap.event != root)
                continue;
            const double mapped = nowMs();
            if (windowPid(display, event.xmap.window, pidAtom) != child)
                continue;
            if (verbose) {
                char* name = nullptr;
                XFetchName(display, event.xmap.window, &name);
                XWindowAttributes attributes{};
                XGetWindowAttributes(display, event.xmap.window, &attributes);
                std::fprintf(stderr, "window 0x%lx \"%s\" %dx%d\n", event.xmap.window,
                             name ? name : "", attributes.width, attributes.height);
                if (name)
                    XFree(name);
            }
            std::printf("%.1f\n", mapped - start);
            std::fflush(stdout);
            endChild(child);
            XCloseDisplay(display);
            return 0;
        }
        if (waitpid(child, nullptr, WNOHANG) == child) {
            std::fprintf(stderr, "startup_probe: %s ended before showing a window\n", argv[first]);
            XCloseDisplay(display);
            return 1;
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval timeout{0, 50000};
        select(fd + 1, &readable, nullptr, nullptr, &timeout);
    }
    std::fprintf(stderr, "startup_probe: no window from %s within 30 s\n", argv[first]);
    endChild(child);
    XCloseDisplay(display);
    return 1;
}

// Start-to-ready observer: starts a program and watches the X server from outside until the
// program has mapped a given number of top-level windows. Prints "pid <n>" at once and
// "ready <ms>" when the count is reached (or "timeout <ms>"), then waits for the program and
// exits with its status. Times come from CLOCK_MONOTONIC taken when the MapNotify event is
// read; the loop blocks in poll() on the X connection, so the resolution is the event
// delivery latency (well under 1 ms), not a polling interval.
//
// Usage: bench_map_watch <windows> <timeout-ms> <program> [args...]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <set>

namespace {

double nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

Atom pidAtom;

long windowPid(Display* dpy, Window w) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(dpy, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data) == Success &&
        data && count == 1 && format == 32) {
        pid = *reinterpret_cast<long*>(data);
    }
    if (data) XFree(data);
    return pid;
}

int ignoreErrors(Display*, XErrorEvent*) {
    return 0;  // windows may vanish between an event and our request about them
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <windows> <timeout-ms> <program> [args...]\n", argv[0]);
        return 2;
    }
    const int wanted = std::atoi(argv[1]);
    const double timeoutMs = std::atof(argv[2]);
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "cannot open display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    pidAtom = XInternAtom(dpy, "_NET_WM_PID", False);
    const Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, False);

    const double start = nowMs();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    std::printf("pid %d\n", static_cast<int>(child));
    std::fflush(stdout);

    std::set<Window> mapped;
    bool done = false;
    const auto consider = [&](Window w) {
        if (mapped.count(w) || windowPid(dpy, w) != child) return;
        mapped.insert(w);
        if (!done && static_cast<int>(mapped.size()) >= wanted) {
            done = true;
            std::printf("ready %.3f\n", nowMs() - start);
            std::fflush(stdout);
        }
    };

    int status = 0;
    bool exited = false;
    while (!done) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == CreateNotify && ev.xcreatewindow.parent == root) {
                // A top-level client: follow its own map events (a reparenting window manager
                // maps it inside its frame, where the root never hears of it).
                const Window w = ev.xcreatewindow.window;
                XSelectInput(dpy, w, StructureNotifyMask);
                XWindowAttributes attrs;
                if (XGetWindowAttributes(dpy, w, &attrs) && attrs.map_state != IsUnmapped)
                    consider(w);
            } else if (ev.type == MapNotify) {
                consider(ev.xmap.window);
            }
        }
        if (done) break;
        if (waitpid(child, &status, WNOHANG) == child) {
            exited = true;
            break;
        }
        const double left = timeoutMs - (nowMs() - start);
        if (left <= 0) break;
        pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
        poll(&fd, 1, left < 50 ? static_cast<int>(left) + 1 : 50);
    }
    if (!done) {
        std::printf("%s %.3f mapped=%zu\n", exited ? "exited" : "timeout", nowMs() - start,
                    mapped.size());
        std::fflush(stdout);
        if (exited) return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    }
    XCloseDisplay(dpy);
    if (waitpid(child, &status, 0) != child) return 1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

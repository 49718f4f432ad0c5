// Starts a program and reports how long it took until a window with the given title was
// mapped, and the program's resident memory then. One X connection listens for the map
// instead of polling, so the measurement neither loads the X server nor lags behind it.
//   bench_window_watch <title> <program> [arguments...]
// prints "<milliseconds> <resident KiB>".
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

bool hasTitle(Display *display, Window window, const char *title)
{
    char *name = nullptr;
    if (XFetchName(display, window, &name) == 0 || name == nullptr)
        return false;
    const bool same = std::strcmp(name, title) == 0;
    XFree(name);
    return same;
}

long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <title> <program> [arguments...]\n", argv[0]);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "cannot open the display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[2], argv + 2);
        _exit(127);
    }
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify || !hasTitle(display, event.xmap.window, argv[1]))
            continue;
        const auto shown = std::chrono::steady_clock::now();
        // Let the first paint settle before reading the memory it holds.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const long kib = residentKiB(child);
        std::printf(
            "%lld %ld\n",
            static_cast<long long>(
                std::chrono::duration_cast<std::chrono::milliseconds>(shown - start).count()),
            kib);
        break;
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XCloseDisplay(display);
    return 0;
}

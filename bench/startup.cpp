// Start-up benchmark: starts a program, waits until its top-level window with the given title is
// mapped and its first pixels are painted, records the wall time and the peak resident memory, and
// ends it. Runs two programs in turn so that both meet the same machine state.
//     startup <runs> <title A> <program A> <title B> <program B>
// Needs an X server (run it under xvfb-run).

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Sample {
    double milliseconds;
    long peakKilobytes;
};

bool titled(Display* display, Window window, const std::string& title) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        const bool same = title == name;
        XFree(name);
        return same;
    }
    return false;
}

Window findMapped(Display* display, const std::string& title) {
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display, root, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, children[i], &attributes) &&
                attributes.map_state == IsViewable && titled(display, children[i], title))
                found = children[i];
        }
        XFree(children);
    }
    return found;
}

bool painted(Display* display, Window window) {
    XImage* image = XGetImage(display, window, 5, 5, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return false;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return (pixel & 0xffffff) != 0;
}

Sample runOnce(Display* display, const std::string& title, const char* program) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    Window window = 0;
    for (;;) {
        if (!window)
            window = findMapped(display, title);
        if (window && painted(display, window))
            break;
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "%s ended before its window showed\n", program);
            std::exit(1);
        }
        usleep(200);
    }
    const double elapsed =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    kill(child, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    // The server may show the ended program's window a moment longer; the next run must not find it.
    while (findMapped(display, title))
        usleep(200);
    return {elapsed, usage.ru_maxrss};
}

template <typename T> T median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s <runs> <title A> <program A> <title B> <program B>\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    // A window may go away between listing it and asking about it; that is no reason to stop.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    const int runs = std::atoi(argv[1]);
    std::vector<double> timeA, timeB;
    std::vector<long> memoryA, memoryB;
    runOnce(display, argv[2], argv[3]); // warm the caches once each, not counted
    runOnce(display, argv[4], argv[5]);
    for (int i = 0; i < runs; ++i) {
        const Sample a = runOnce(display, argv[2], argv[3]);
        const Sample b = runOnce(display, argv[4], argv[5]);
        timeA.push_back(a.milliseconds);
        memoryA.push_back(a.peakKilobytes);
        timeB.push_back(b.milliseconds);
        memoryB.push_back(b.peakKilobytes);
    }
    const double ta = median(timeA), tb = median(timeB);
    const long ma = median(memoryA), mb = median(memoryB);
    std::printf("runs: %d each\n", runs);
    std::printf("%-12s start-up median %.1f ms (min %.1f, max %.1f), peak RSS median %.1f MB\n", argv[2], ta,
                *std::min_element(timeA.begin(), timeA.end()), *std::max_element(timeA.begin(), timeA.end()),
                ma / 1024.0);
    std::printf("%-12s start-up median %.1f ms (min %.1f, max %.1f), peak RSS median %.1f MB\n", argv[4], tb,
                *std::min_element(timeB.begin(), timeB.end()), *std::max_element(timeB.begin(), timeB.end()),
                mb / 1024.0);
    std::printf("ratio %s / %s: time %.2f, memory %.2f\n", argv[2], argv[4], ta / tb,
                double(ma) / double(mb));
    XCloseDisplay(display);
    return 0;
}

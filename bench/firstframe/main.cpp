// Starts a program on the X display and prints the milliseconds from its start to its first
// painted frame: the first moment a window of the display shows more than one colour. The display
// must be a fresh server with a black root (Xvfb -br), on which nothing else maps windows.
//
//   velmorax-firstframe [-t SECONDS] PROGRAM [ARGS...]
//
// The program is stopped (SIGTERM, then SIGKILL) once the frame is seen. Exit status 0 with the
// figure on standard output; 1 when no frame came within the time limit.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

double Now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Windows come and go while a program starts; a request about one that went away is no failure.
int IgnoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

// More than one colour in the window: something has been painted into it.
bool ShowsAPicture(Display* display, Window window)
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return false;
    XImage* image = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (image == nullptr)
        return false;
    const unsigned long first = XGetPixel(image, 0, 0);
    bool varied = false;
    for (int y = 0; y < image->height && !varied; ++y)
        for (int x = 0; x < image->width && !varied; ++x)
            varied = XGetPixel(image, x, y) != first;
    XDestroyImage(image);
    return varied;
}

void Stop(pid_t child)
{
    kill(child, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(child, nullptr, WNOHANG) == child)
            return;
        usleep(20000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

} // namespace

int main(int argc, char** argv)
{
    double limitSeconds = 30;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "-t") == 0) {
        limitSeconds = std::atof(argv[2]);
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: %s [-t SECONDS] PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "firstframe: no display\n");
        return 2;
    }
    XSetErrorHandler(IgnoreErrors);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const double start = Now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[first], argv + first);
        _exit(127);
    }

    std::vector<Window> mapped;
    const double deadline = start + limitSeconds * 1e3;
    while (Now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify)
                mapped.push_back(event.xmap.window);
        }
        for (Window window : mapped) {
            if (ShowsAPicture(display, window)) {
                std::printf("%.1f\n", Now() - start);
                std::fflush(stdout);
                Stop(child);
                return 0;
            }
        }
        if (waitpid(child, nullptr, WNOHANG) == child) {
            std::fprintf(stderr, "firstframe: %s ended before it painted\n", argv[first]);
            return 1;
        }
        // Until a window is mapped, wait for the server; then look at it every millisecond.
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, mapped.empty() ? 5 : 1);
    }
    std::fprintf(stderr, "firstframe: no frame from %s within %.0f s\n", argv[first], limitSeconds);
    Stop(child);
    return 1;
}

// startup_probe PROGRAM [ARGUMENTS...]
// Starts PROGRAM and prints the milliseconds from its start until its first
// window is mapped on the screen, then ends it. Watches the root window, so
// it measures under a bare X server as well as under a window manager.
// startup_probe --until-exit PROGRAM [ARGUMENTS...]
// Prints the milliseconds from the start of PROGRAM, which opens no window,
// to its end, and fails when it does not end normally.
#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double milliseconds(const timespec &from, const timespec &to)
{
    return (to.tv_sec - from.tv_sec) * 1000.0 + (to.tv_nsec - from.tv_nsec) / 1e6;
}

// Started and timed the same way as a program with a window.
int untilExit(char *argv[])
{
    timespec start {};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[0], argv);
        _exit(127);
    }
    if (child < 0) {
        std::perror("fork");
        return 2;
    }
    int status = 0;
    waitpid(child, &status, 0);
    timespec ended {};
    clock_gettime(CLOCK_MONOTONIC, &ended);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s did not end normally\n", argv[0]);
        return 1;
    }
    std::printf("%.1f\n", milliseconds(start, ended));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 3 && std::strcmp(argv[1], "--until-exit") == 0)
        return untilExit(argv + 2);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGUMENTS...]\n", argv[0]);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "cannot open the X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    timespec start {};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[1], argv + 1);
        _exit(127);
    }
    if (child < 0) {
        std::perror("fork");
        return 2;
    }

    int status = 1;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify || event.xmap.override_redirect)
            continue;
        timespec shown {};
        clock_gettime(CLOCK_MONOTONIC, &shown);
        std::printf("%.1f\n", milliseconds(start, shown));
        status = 0;
        break;
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XCloseDisplay(display);
    return status;
}

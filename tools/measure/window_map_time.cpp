// Starts a program and says how long it took until its first top-level
// window was mapped on the X display named by DISPLAY, and how much processor
// time its threads had used by then (steadier than the wall clock on a busy
// machine).
// Usage: window_map_time <log file> <program> [arguments...]
// Prints "<pid> <milliseconds> <processor milliseconds>" and leaves the
// program running; exits 1 when no window was mapped within 30 seconds (the
// program is then killed).
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

[[noreturn]] void runProgram(const char* log, char** argv)
{
    const int out = open(log, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out >= 0) {
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
    }
    execvp(argv[0], argv);
    std::perror(argv[0]);
    _exit(127);
}

// The processor time of every thread of the process so far (the first field
// of each thread's schedstat, in nanoseconds); -1 when it cannot be read.
double processorMs(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    auto closeDir = [](DIR* d) { closedir(d); };
    std::unique_ptr<DIR, decltype(closeDir)> dir(opendir(tasks.c_str()), closeDir);
    if (!dir)
        return -1;
    double total = 0;
    while (const dirent* entry = readdir(dir.get())) {
        if (entry->d_name[0] == '.')
            continue;
        auto closeFile = [](FILE* f) { std::fclose(f); };
        std::unique_ptr<FILE, decltype(closeFile)> stat(
            std::fopen((tasks + "/" + entry->d_name + "/schedstat").c_str(), "r"), closeFile);
        unsigned long long ns = 0;
        if (stat && std::fscanf(stat.get(), "%llu", &ns) == 1)
            total += static_cast<double>(ns) / 1e6;
    }
    return total;
}

// True once a window that is not override-redirect (a menu, a tooltip) is mapped.
bool waitForMap(xcb_connection_t* x, double deadlineMs)
{
    pollfd fd{xcb_get_file_descriptor(x), POLLIN, 0};
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            std::unique_ptr<xcb_generic_event_t, decltype(&free)> owned(event, &free);
            if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
                continue;
            if (!reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect)
                return true;
        }
        if (xcb_connection_has_error(x))
            return false;
        const double left = deadlineMs - nowMs();
        if (left <= 0)
            return false;
        if (poll(&fd, 1, static_cast<int>(left) + 1) < 0 && errno != EINTR)
            return false;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_map_time <log file> <program> [arguments...]\n");
        return 2;
    }
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "window_map_time: cannot open the display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    // Checked, so the mask is in force before the program starts.
    if (xcb_generic_error_t* error =
            xcb_request_check(x, xcb_change_window_attributes_checked(x, root, XCB_CW_EVENT_MASK, &mask))) {
        free(error);
        std::fprintf(stderr, "window_map_time: cannot watch the root window\n");
        return 2;
    }
    const double start = nowMs();
    const pid_t pid = fork();
    if (pid == 0)
        runProgram(argv[1], argv + 2);
    if (pid < 0) {
        std::perror("fork");
        return 2;
    }
    if (!waitForMap(x, start + 30000)) {
        kill(pid, SIGKILL);
        std::fprintf(stderr, "window_map_time: %s mapped no window\n", argv[2]);
        return 1;
    }
    const double mapped = nowMs() - start;
    std::printf("%d %.1f %.1f\n", static_cast<int>(pid), mapped, processorMs(pid));
    xcb_disconnect(x);
    return 0;
}

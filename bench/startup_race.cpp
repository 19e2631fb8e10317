// Start-up race: runs two programs in turn, interleaved, on a bare X display (no window manager), and
// times each from exec to its first top-level window being mapped. After the map it waits a moment for
// the first paint, reads the resident set, and ends the program. Prints the medians and the ratios of
// the second program to the first.
//
//   startup_race RUNS BASELINE -- PROGRAM [ARGS…]
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Sample {
    double milliseconds;
    double residentMiB;
};

double residentMiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    }
    return -1;
}

// Waits for the next top-level map on the display, at most `limit`.
bool waitForMap(xcb_connection_t* connection, Clock::time_point limit)
{
    const int fd = xcb_get_file_descriptor(connection);
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            std::free(event);
            if (mapped)
                return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(limit - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd wait{fd, POLLIN, 0};
        poll(&wait, 1, int(left));
    }
}

std::optional<Sample> runOnce(xcb_connection_t* connection, char** argv)
{
    // Drop anything left over from the previous run before the clock starts.
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection))
        std::free(event);
    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[0], argv);
        std::fprintf(stderr, "startup_race: cannot run %s: %s\n", argv[0], std::strerror(errno));
        _exit(127);
    }
    if (pid < 0)
        return std::nullopt;
    const bool mapped = waitForMap(connection, start + std::chrono::seconds(20));
    const double milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    // The first paint follows the map; the resident set is read once the program has settled.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const double resident = residentMiB(pid);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!mapped)
        return std::nullopt;
    return Sample{milliseconds, resident};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char* argv[])
{
    int separator = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            separator = i;
            break;
        }
    }
    if (argc < 5 || separator < 3 || separator + 1 >= argc) {
        std::fprintf(stderr, "usage: startup_race RUNS BASELINE [ARGS…] -- PROGRAM [ARGS…]\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::vector<char*> baseline(argv + 2, argv + separator);
    baseline.push_back(nullptr);
    std::vector<char*> program(argv + separator + 1, argv + argc);
    program.push_back(nullptr);

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "startup_race: no X display\n");
        return 2;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    // One run of each first, not counted: it brings both into the page cache.
    runOnce(connection, baseline.data());
    runOnce(connection, program.data());
    std::vector<double> times[2];
    std::vector<double> memory[2];
    for (int run = 0; run < runs; ++run) {
        for (int which = 0; which < 2; ++which) {
            const std::optional<Sample> sample = runOnce(connection, which ? program.data() : baseline.data());
            if (!sample) {
                std::fprintf(stderr, "startup_race: %s mapped no window\n", which ? program[0] : baseline[0]);
                return 1;
            }
            times[which].push_back(sample->milliseconds);
            memory[which].push_back(sample->residentMiB);
        }
    }
    const double time[2] = {median(times[0]), median(times[1])};
    const double resident[2] = {median(memory[0]), median(memory[1])};
    std::printf("start-up, exec to mapped, median of %d interleaved runs each:\n", runs);
    std::printf("  empty Qt window  %6.1f ms  %5.1f MiB resident\n", time[0], resident[0]);
    std::printf("  Hueloom          %6.1f ms  %5.1f MiB resident\n", time[1], resident[1]);
    std::printf("  ratio            %6.2fx    %5.2fx\n", time[1] / time[0], resident[1] / resident[0]);
    xcb_disconnect(connection);
    return 0;
}

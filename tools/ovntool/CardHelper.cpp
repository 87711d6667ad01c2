#include "tools/ovntool/CardHelper.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>

extern char** environ;

namespace ovntool {

namespace {

constexpr char kHelperName[] = "ovntool-card";

// Both ends close themselves, so no early return leaks a descriptor.
struct Pipe {
    int ends[2] = {-1, -1};
    Pipe() {
        if (::pipe2(ends, O_CLOEXEC) != 0) ends[0] = ends[1] = -1;
    }
    ~Pipe() {
        CloseEnd(0);
        CloseEnd(1);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    bool ok() const { return ends[0] >= 0; }
    void CloseEnd(int end) {
        if (ends[end] >= 0) ::close(ends[end]);
        ends[end] = -1;
    }
};

// A helper that ends before it has read its input must not end ovntool
// through SIGPIPE: the write fails with EPIPE instead.
bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &previous);
    bool ok = true;
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            ok = false;
            break;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    ::sigaction(SIGPIPE, &previous, nullptr);
    return ok;
}

// Reads the helper's standard output and standard error until both end.
void ReadBoth(int outFd, int errFd, std::string& out, std::string& err) {
    std::array<pollfd, 2> fds = {pollfd{outFd, POLLIN, 0}, pollfd{errFd, POLLIN, 0}};
    std::array<std::string*, 2> into = {&out, &err};
    char buffer[65536];
    int open = 2;
    while (open > 0) {
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                fds[i].fd = -1;
                --open;
            } else {
                into[i]->append(buffer, static_cast<std::size_t>(got));
            }
        }
    }
}

}  // namespace

std::string FindCardHelper() {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    std::vector<fs::path> places;
    if (!error) {
        places.push_back(self.parent_path() / kHelperName);
        places.push_back(self.parent_path() / "../libexec/ovenmenu" / kHelperName);
    }
    places.push_back(fs::path("/usr/libexec/ovenmenu") / kHelperName);
    for (const fs::path& place : places) {
        if (::access(place.c_str(), X_OK) == 0 && fs::is_regular_file(place, error)) return place.string();
    }
    return "";
}

std::optional<std::string> RunCardHelper(const std::string& helper, const std::vector<std::string>& args,
                                         const ovn::MenuImageBytes& image, std::ostream& err) {
    Pipe input;
    Pipe output;
    Pipe errors;
    if (!input.ok() || !output.ok() || !errors.ok()) {
        err << "ovntool: cannot run " << kHelperName << ": " << std::strerror(errno) << "\n";
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input.ends[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output.ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errors.ends[1], STDERR_FILENO);
    std::vector<char*> argv{const_cast<char*>(helper.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, helper.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        err << "ovntool: cannot run " << helper << ": " << std::strerror(spawned) << "\n";
        return std::nullopt;
    }
    input.CloseEnd(0);
    output.CloseEnd(1);
    errors.CloseEnd(1);

    WriteAll(input.ends[1], image.data(), image.size());  // a short write shows as the helper's complaint
    input.CloseEnd(1);
    std::string pdf;
    std::string messages;
    ReadBoth(output.ends[0], errors.ends[0], pdf, messages);
    int status = 0;
    pid_t waited = -1;
    do {
        waited = ::waitpid(child, &status, 0);
    } while (waited < 0 && errno == EINTR);
    err << messages;
    // Only a helper seen to end well drew the card: a failed wait tells nothing.
    if (waited == child && WIFEXITED(status) && WEXITSTATUS(status) == 0 && !pdf.empty()) return pdf;
    if (messages.empty()) err << "ovntool: " << kHelperName << " failed; no card was drawn\n";
    return std::nullopt;
}

}  // namespace ovntool

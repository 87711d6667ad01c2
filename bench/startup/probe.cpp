// Start-up probe, preloaded by bench/startup.sh into both programs it compares
// (the same mechanism for each): when the first top-level window has been
// exposed and drawn, it writes "<nanoseconds since OVN_PROBE_T0> <resident KiB>
// <processor nanoseconds>" to OVN_PROBE_OUT and ends the process at once.
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

namespace {

long long NowNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

long long CpuNs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ns = [](const timeval& t) {
        return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_usec * 1000LL;
    };
    return ns(usage.ru_utime) + ns(usage.ru_stime);
}

void Report() {
    const long long elapsed = NowNs() - std::atoll(std::getenv("OVN_PROBE_T0"));
    if (FILE* out = std::fopen(std::getenv("OVN_PROBE_OUT"), "w")) {
        std::fprintf(out, "%lld %ld %lld\n", elapsed, ResidentKiB(), CpuNs());
        std::fclose(out);
    }
    _exit(0);  // nothing after the first frame is measured
}

class FirstFrame : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Expose && watched->isWindowType()) {
            const auto* window = static_cast<QWindow*>(watched);
            if (window->isTopLevel() && window->isExposed()) {
                seen_ = true;
                // Runs once the expose has been handled, that is once the window is drawn.
                QTimer::singleShot(0, Report);
            }
        }
        return false;
    }

private:
    bool seen_ = false;
};

void Install() {
    if (std::getenv("OVN_PROBE_T0") == nullptr || std::getenv("OVN_PROBE_OUT") == nullptr) return;
    QCoreApplication::instance()->installEventFilter(new FirstFrame);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Install)

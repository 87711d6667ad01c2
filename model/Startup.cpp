#include "model/Startup.h"

#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <exception>
#include <system_error>

namespace ovn {

namespace {

std::string HomeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return ".";
}

}  // namespace

std::string DefaultMenuDirectory() {
    std::string home = HomeDirectory();
    while (home.size() > 1 && home.back() == '/') {
        home.pop_back();
    }
    return home == "/" ? "/OVENS" : home + "/OVENS";
}

void PrepareMenuDirectory(const std::string& directory) {
    // Any entry of that name counts, a plain file or a dangling link included:
    // the file routines report the trouble when the menus are read or saved.
    struct stat entry {};
    if (lstat(directory.c_str(), &entry) == 0) {
        return;
    }
    if (mkdir(directory.c_str(), 0777) != 0) {
        throw std::system_error(errno, std::generic_category(), directory);
    }
}

std::string InitializationErrorText(const std::string& description) {
    return "\r\nInitialization Error #" + description;
}

bool RunStartup(const std::vector<StartupStep>& steps, const std::function<void(const std::string&)>& report,
                std::string* stepMarker) {
    for (const StartupStep& step : steps) {
        if (stepMarker != nullptr) {
            *stepMarker = step.marker;
        }
        std::string description;
        try {
            if (step.run) {
                step.run();
            }
            continue;
        } catch (const std::system_error& error) {
            description = error.code().message();
        } catch (const std::exception& error) {
            description = error.what();
        } catch (...) {
            description = "Unknown error";
        }
        if (report) {
            report(InitializationErrorText(description));
        }
        return false;
    }
    return true;
}

}  // namespace ovn

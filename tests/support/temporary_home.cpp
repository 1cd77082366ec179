// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// Every test program runs in a home of its own, made before main and removed at its end: Qt's settings
// (the file dialogs' history), font caches and the runtime folder land there, never in the user's own
// home, and no test sees what an earlier run or the user left behind.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class TemporaryHome {
  public:
    TemporaryHome() : owner_(::getpid()) {
        const char* tmp = std::getenv("TMPDIR");
        std::string name =
            std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/ripplescope-home.XXXXXX";
        if (::mkdtemp(name.data()) == nullptr) {
            std::fprintf(stderr, "cannot make a temporary home in %s: %s\n", name.c_str(),
                         std::strerror(errno));
            std::_Exit(1);
        }
        path_ = name;
        ::setenv("HOME", path_.c_str(), 1);
        const struct {
            const char* variable;
            const char* folder;
        } folders[] = {{"XDG_CONFIG_HOME", "/.config"},
                       {"XDG_CACHE_HOME", "/.cache"},
                       {"XDG_DATA_HOME", "/.local/share"},
                       {"XDG_STATE_HOME", "/.local/state"},
                       {"XDG_RUNTIME_DIR", "/runtime"}};
        for (const auto& f : folders)
            ::setenv(f.variable, (path_ + f.folder).c_str(), 1);
        // Qt insists on a private runtime folder and warns when there is none.
        ::mkdir((path_ + "/runtime").c_str(), 0700);
    }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;
    // A forked child that leaves through exit must not take its parent's home with it.
    ~TemporaryHome() {
        if (::getpid() != owner_) return;
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

  private:
    pid_t owner_;
    std::string path_;
};

const TemporaryHome home;

} // namespace

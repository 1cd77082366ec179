// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Cases that need a process of their own: permission cases under root, who ignores file modes (the
// attempt runs as a user the modes bind), and resource limits that must not reach the test program.

#include <cerrno>
#include <exception>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rs::test {

inline constexpr uid_t kNobody = 65534; // nobody, and nogroup as the group
inline constexpr int kCannotDrop = 77;

// What `attempt` returns in a forked child after `prepare` (rights dropped, limits set) succeeded;
// empty when it did not. The child only runs `attempt` and leaves with _exit, so nothing of the parent
// (the test framework, Qt) is flushed or torn down twice.
inline std::optional<std::string> inChild(const std::function<bool()>& prepare,
                                          const std::function<std::string()>& attempt) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return "(pipe failed)";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        if (!prepare()) ::_exit(kCannotDrop);
        std::string result;
        try {
            result = attempt();
        } catch (const std::exception& e) {
            result = std::string("(threw ") + e.what() + ")";
        } catch (...) {
            result = "(threw)";
        }
        for (std::size_t done = 0; done < result.size();) {
            const ssize_t n = ::write(fds[1], result.data() + done, result.size() - done);
            if (n < 0 && errno != EINTR) ::_exit(1);
            if (n > 0) done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        return "(fork failed)";
    }
    std::string result;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n > 0) {
            result.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotDrop) return std::nullopt;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "(child ended with status " + std::to_string(status) + ")";
    return result;
}

// What `attempt` returns when run by a user whom file modes bind: here when this process is not root,
// otherwise in a forked child that becomes nobody first. Empty when the child cannot drop its rights
// (a container without CAP_SETUID).
inline bool dropRights() {
    return ::geteuid() != 0 ||
           (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0);
}

inline std::optional<std::string> asUnprivileged(const std::function<std::string()>& attempt) {
    if (::geteuid() != 0) return attempt();
    return inChild(dropRights, attempt);
}

// Files may grow to `bytes` at most (RLIMIT_FSIZE); a write past it raises SIGXFSZ, which ends a
// process that does not deal with it. For inChild's preparation.
inline bool limitFileSize(rlim_t bytes) {
    const rlimit limit{bytes, bytes};
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

} // namespace rs::test

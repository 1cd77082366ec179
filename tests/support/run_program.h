// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Runs one of the built programs as a user would from a shell: arguments as bytes, its own environment,
// optional resource limits, and a time limit, so that a hang fails the test instead of stopping it.

#include "tests/scene_io/test_files.h"

#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace rs::test {

struct ProcessResult {
    int exitCode = -1; // -1 unless it exited by itself
    int signal = 0;    // the signal that ended it, if any
    bool timedOut = false;
    std::string out;
    std::string err;
};

struct ProgramRun {
    std::vector<std::string> args;
    // "NAME=value" sets a variable, a bare "NAME" removes it; everything else is inherited.
    std::vector<std::string> environment;
    std::vector<std::pair<int, rlim_t>> limits; // setrlimit(resource, {value, value}) in the child
    int timeoutSeconds = 120;
};

inline std::vector<std::string> environmentWith(const std::vector<std::string>& changes) {
    std::vector<std::string> result;
    const auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        bool changed = false;
        for (const std::string& c : changes)
            changed = changed || nameOf(c) == nameOf(entry);
        if (!changed) result.push_back(entry);
    }
    for (const std::string& c : changes)
        if (c.find('=') != std::string::npos) result.push_back(c);
    return result;
}

inline ProcessResult runProgram(const std::string& program, const ProgramRun& run) {
    TempFolder streams;
    const std::string out = streams.file("out"), err = streams.file("err");
    std::vector<std::string> argStore = {program};
    argStore.insert(argStore.end(), run.args.begin(), run.args.end());
    std::vector<std::string> envStore = environmentWith(run.environment);
    std::vector<char*> argv, envp;
    for (std::string& a : argStore)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string& e : envStore)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    ProcessResult result;
    const pid_t pid = ::fork();
    if (pid < 0) return result;
    if (pid == 0) {
        // Only async-signal-safe calls from here to exec.
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (o < 0 || e < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0) ::_exit(126);
        for (const auto& [resource, value] : run.limits) {
            const rlimit limit{value, value};
            if (::setrlimit(resource, &limit) != 0) ::_exit(126);
        }
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    int status = 0;
    for (int waited = 0; ::waitpid(pid, &status, WNOHANG) == 0; ++waited) {
        if (waited == run.timeoutSeconds * 20) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            result.timedOut = true;
            return result;
        }
        ::usleep(50 * 1000);
    }
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    result.out = readBytes(out);
    result.err = readBytes(err);
    return result;
}

} // namespace rs::test

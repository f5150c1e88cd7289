// Runs a check in a child process as an ordinary user (uid and gid 65534, no groups), so that
// permission tests see what the superuser running the suite does not.
#pragma once

#include <functional>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

// The child's exit status: 0 when check passed, 1 when it failed, 2 when the user could not
// be changed; -1 when the child could not be run or did not exit.
inline int ExitStatusAsOrdinaryUser(const std::function<bool()>& check) {
    const pid_t child = fork();
    if (child == -1) {
        return -1;
    }
    if (child == 0) {
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(2);
        }
        _exit(check() ? 0 : 1);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

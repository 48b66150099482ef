#pragma once

#include <cstdio>
#include <functional>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs fn in a child process and returns its result (0 to 99), or -1 when the
// child did not exit normally. When the tests run as root the child first
// becomes "nobody", so that file and folder permissions apply to it; the
// folders it must reach have to be open to others.
inline int RunUnprivileged(const std::function<int()>& fn)
{
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(100);
        _exit(fn());
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

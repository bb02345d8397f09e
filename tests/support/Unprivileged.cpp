#include "support/Unprivileged.h"

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace vorlix::test {
namespace {

constexpr int kCannotDrop = 77;

bool DropPrivileges() {
    if (::geteuid() != 0) return true;
    const passwd* nobody = ::getpwnam("nobody");
    const uid_t uid = nobody ? nobody->pw_uid : 65534;
    const gid_t gid = nobody ? nobody->pw_gid : 65534;
    return ::setgroups(0, nullptr) == 0 && ::setresgid(gid, gid, gid) == 0 &&
           ::setresuid(uid, uid, uid) == 0 && ::geteuid() != 0;
}

}  // namespace

std::optional<std::string> RunWithoutPrivileges(const std::function<std::string()>& work) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (!DropPrivileges()) ::_exit(kCannotDrop);
        const std::string output = work();
        std::size_t done = 0;
        while (done < output.size()) {
            const ssize_t written =
                ::write(pipeEnds[1], output.data() + done, output.size() - done);
            if (written <= 0) ::_exit(1);
            done += static_cast<std::size_t>(written);
        }
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string output;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        output.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotDrop) return std::nullopt;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "<the child process failed, wait status " + std::to_string(status) + ">";
    }
    return output;
}

}  // namespace vorlix::test

#include "support/SelfSignedHttpsServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "support/LoopbackHttpServer.h"

namespace vorlix::test {
namespace {

bool Accepts(int port) {
    const int probe = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool connected =
        connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(probe);
    return connected;
}

}  // namespace

SelfSignedHttpsServer::SelfSignedHttpsServer() {
    // The name matches; only the trust is missing.
    const std::string folder = folder_.Path().string();
    const std::string make =
        "cd '" + folder +
        "' && openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 "
        "-nodes -keyout key.pem -out cert.pem -days 1 -subj /CN=127.0.0.1 "
        "-addext subjectAltName=IP:127.0.0.1 >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0) return;

    port_ = FreeLoopbackPort();
    const std::string accept = "127.0.0.1:" + std::to_string(port_);
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        if (chdir(folder.c_str()) != 0) _exit(127);
        execlp("openssl", "openssl", "s_server", "-quiet", "-WWW", "-accept", accept.c_str(),
               "-cert", "cert.pem", "-key", "key.pem", static_cast<char*>(nullptr));
        _exit(127);
    }
    if (child < 0) return;
    pid_ = child;
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (Accepts(port_)) return;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

SelfSignedHttpsServer::~SelfSignedHttpsServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

std::string SelfSignedHttpsServer::Url(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(port_) + path;
}

}  // namespace vorlix::test

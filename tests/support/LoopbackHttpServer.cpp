#include "support/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace vorlix::test {
namespace {

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    return address;
}

int BoundPort(int socket) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

void SendAll(int connection, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;  // the client gave up, as it may
        sent += static_cast<std::size_t>(n);
    }
}

const char* Reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 301:
            return "Moved Permanently";
        case 302:
            return "Found";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(0);
    if (listener_ < 0 ||
        bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 16) != 0 || pipe(wake_) != 0) {
        throw std::runtime_error("cannot start the loopback server");
    }
    port_ = BoundPort(listener_);
    thread_ = std::thread([this] { Run(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    const char stop = 0;
    (void)!write(wake_[1], &stop, 1);
    thread_.join();
    for (int connection : silent_) close(connection);
    close(listener_);
    close(wake_[0]);
    close(wake_[1]);
}

void LoopbackHttpServer::Serve(const std::string& path, Response response) {
    std::lock_guard lock(mutex_);
    responses_[path] = std::move(response);
}

std::string LoopbackHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void LoopbackHttpServer::Run() {
    for (;;) {
        pollfd watched[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (poll(watched, 2, -1) < 0) continue;
        if (watched[1].revents) return;
        const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection >= 0) Answer(connection);
    }
}

void LoopbackHttpServer::Answer(int connection) {
    // The request line and headers; a body is never expected.
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        pollfd watched{connection, POLLIN, 0};
        if (poll(&watched, 1, 5000) <= 0) break;
        const ssize_t n = recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, static_cast<std::size_t>(n));
    }
    ++requests_;
    const auto start = request.find(' ');
    const auto end = request.find(' ', start + 1);
    const std::string path = start == std::string::npos || end == std::string::npos
                                 ? ""
                                 : request.substr(start + 1, end - start - 1);

    Response response;
    response.status = 404;
    response.body = "not here";
    {
        std::lock_guard lock(mutex_);
        if (const auto found = responses_.find(path); found != responses_.end())
            response = found->second;
    }
    if (response.neverAnswer) {
        silent_.push_back(connection);
        return;
    }
    std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " +
                       Reason(response.status) +
                       "\r\nConnection: close\r\nContent-Type: text/plain\r\n";
    if (response.sendLength)
        head += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    if (!response.location.empty()) head += "Location: " + response.location + "\r\n";
    SendAll(connection, head + "\r\n" + response.body);
    shutdown(connection, SHUT_WR);
    close(connection);
}

int FreeLoopbackPort() {
    const int probe = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(0);
    bind(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const int port = BoundPort(probe);
    close(probe);
    return port;
}

}  // namespace vorlix::test

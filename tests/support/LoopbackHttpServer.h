#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vorlix::test {

// A small HTTP/1.1 server on 127.0.0.1 and a free port, answering from a
// table of paths, for tests that download. Unknown paths get 404.
class LoopbackHttpServer {
  public:
    struct Response {
        int status = 200;
        std::string body;
        std::string location;      // sent as Location when not empty
        bool sendLength = true;    // false: the body ends when the connection closes
        bool neverAnswer = false;  // reads the request and stays silent

        static Response Body(std::string body, int status = 200) {
            Response response;
            response.status = status;
            response.body = std::move(body);
            return response;
        }
        // The length is not told: the body ends when the connection closes.
        static Response Unsized(std::string body) {
            Response response = Body(std::move(body));
            response.sendLength = false;
            return response;
        }
        static Response Redirect(std::string location) {
            Response response;
            response.status = 302;
            response.location = std::move(location);
            return response;
        }
        static Response Silent() {
            Response response;
            response.neverAnswer = true;
            return response;
        }
    };

    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    void Serve(const std::string& path, Response response);
    std::string Url(const std::string& path) const;
    int Port() const { return port_; }
    int Requests() const { return requests_; }

  private:
    void Run();
    void Answer(int connection);

    int listener_ = -1;
    int wake_[2] = {-1, -1};
    int port_ = 0;
    std::atomic<int> requests_{0};
    std::mutex mutex_;
    std::map<std::string, Response> responses_;
    std::vector<int> silent_;  // connections kept open without an answer
    std::thread thread_;
};

// A port that was free a moment ago, for servers started as processes.
int FreeLoopbackPort();

}  // namespace vorlix::test

#pragma once

#include <sys/types.h>

#include <string>

#include "support/TempDir.h"

namespace vorlix::test {

// "openssl s_server -WWW" on 127.0.0.1 with a certificate made for this run
// and signed by nobody: it serves the files written to its folder.
class SelfSignedHttpsServer {
  public:
    SelfSignedHttpsServer();
    ~SelfSignedHttpsServer();
    SelfSignedHttpsServer(const SelfSignedHttpsServer&) = delete;
    SelfSignedHttpsServer& operator=(const SelfSignedHttpsServer&) = delete;

    // False when the openssl command is missing or the server did not come up.
    bool Running() const { return pid_ > 0; }
    void Write(const std::string& name, const std::string& bytes) { folder_.Write(name, bytes); }
    std::string Url(const std::string& path) const;
    std::string CertificateFile() const { return folder_ / "cert.pem"; }

  private:
    TempDir folder_;
    int port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace vorlix::test

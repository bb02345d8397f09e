#include <curl/curl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "support/LoopbackHttpServer.h"
#include "support/SelfSignedHttpsServer.h"
#include "support/TempDir.h"
#include "util/CurlLibrary.h"
#include "util/DownloadFile.h"

namespace vorlix {
namespace {

namespace fs = std::filesystem;
using Response = test::LoopbackHttpServer::Response;

class DownloadFileTest : public ::testing::Test {
  protected:
    DownloadFileTest() { limits.totalTimeout = limits.connectTimeout = std::chrono::seconds(1); }
    bool Download(const std::string& address) { return DownloadFile(address, target, limits); }
    // Nothing but what a success put there.
    bool FolderEmpty() { return fs::is_empty(folder.Path()); }

    test::LoopbackHttpServer server;
    test::TempDir folder;
    std::string target = folder / "Update.txt";
    DownloadLimits limits;
};

TEST_F(DownloadFileTest, FetchesUpToTheLimitAndFollowsAFewRedirects) {
    const std::string body(1024 * 1024, 'A');
    server.Serve("/update.txt", Response::Body(body));
    server.Serve("/moved", Response::Redirect("/update.txt"));
    server.Serve("/unsized", Response::Unsized("0123456789ABCDEF\r\n"));

    for (const char* path : {"/update.txt", "/moved"}) {
        ASSERT_TRUE(Download(server.Url(path))) << path;
        EXPECT_EQ(test::ReadAll(target), body) << path;
    }
    ASSERT_TRUE(Download(server.Url("/unsized")));
    EXPECT_EQ(test::ReadAll(target), "0123456789ABCDEF\r\n");  // replaced

    const std::string local = folder.Write("source/update.txt", "from a mirror on disk");
    ASSERT_TRUE(Download("file://" + local));
    EXPECT_EQ(test::ReadAll(target), "from a mirror on disk");
}

TEST_F(DownloadFileTest, FailuresLeaveNoFileBehind) {
    const std::string tooBig(1024 * 1024 + 1, 'A');
    server.Serve("/big", Response::Body(tooBig));
    server.Serve("/big-unsized", Response::Unsized(tooBig));
    server.Serve("/error", Response::Body("server trouble", 500));
    server.Serve("/loop", Response::Redirect("/loop"));
    server.Serve("/to-file", Response::Redirect("file:///etc/hostname"));

    for (const std::string& address :
         {server.Url("/missing"), server.Url("/big"), server.Url("/big-unsized"),
          server.Url("/error"), server.Url("/loop"), server.Url("/to-file"),
          std::string("ftp://127.0.0.1/update.txt"), std::string("no address"), std::string()}) {
        EXPECT_FALSE(Download(address)) << address;
        EXPECT_TRUE(FolderEmpty()) << address;
    }
    // A folder that is not there.
    EXPECT_FALSE(DownloadFile(server.Url("/missing"),
                              (folder.Path() / "no" / "Update.txt").string(), limits));
}

// No time-out covers a local read: a FIFO without a writer would wait for
// ever, a device would never end.
TEST_F(DownloadFileTest, ALocalSourceMustBeARegularFile) {
    const std::string fifo = folder / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directories(folder.Path() / "a folder");
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& address :
         {"file://" + fifo, "FILE://" + fifo, "file://localhost" + fifo, "file:" + fifo,
          "file://" + (folder / "a%20folder"), std::string("file:///dev/zero"),
          "file://" + (folder / "missing"), std::string("file://other.host/etc/hostname")}) {
        EXPECT_FALSE(Download(address)) << address;
        EXPECT_FALSE(fs::exists(target)) << address;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    // A regular file is read, also when its name is written with escapes.
    folder.Write("a folder/update.txt", "mirrored");
    ASSERT_TRUE(Download("file://" + (folder / "a%20folder/update.txt")));
    EXPECT_EQ(test::ReadAll(target), "mirrored");
    ASSERT_TRUE(Download("file://localhost" + folder.Write("plain/update.txt", "plain")));
    EXPECT_EQ(test::ReadAll(target), "plain");
}

TEST_F(DownloadFileTest, ATimeOutEndsAServerThatNeverAnswers) {
    server.Serve("/silent", Response::Silent());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Download(server.Url("/silent")));
    // Bounded by the limit given, not by the 60 s of the product.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_TRUE(FolderEmpty());
}

TEST_F(DownloadFileTest, AnHttpsServerWithAnUntrustedCertificateIsRefused) {
    test::SelfSignedHttpsServer https;
    ASSERT_TRUE(https.Running()) << "openssl s_server did not start";
    https.Write("update.txt", "served over TLS");

    // The server does serve the file to a client that trusts its certificate ...
    std::string received;
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, https.Url("/update.txt").c_str());
    const std::string certificate = https.CertificateFile();
    curl_easy_setopt(curl, CURLOPT_CAINFO, certificate.c_str());
    curl_easy_setopt(
        curl, CURLOPT_WRITEFUNCTION, +[](char* data, size_t size, size_t count, void* user) {
            static_cast<std::string*>(user)->append(data, size * count);
            return size * count;
        });
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &received);
    EXPECT_EQ(curl_easy_perform(curl), CURLE_OK);
    curl_easy_cleanup(curl);
    EXPECT_EQ(received, "served over TLS");

    // ... but not to us, who trust the system's store only.
    limits.totalTimeout = limits.connectTimeout = std::chrono::seconds(10);
    EXPECT_FALSE(Download(https.Url("/update.txt")));
    EXPECT_TRUE(FolderEmpty());
}

// The downloads load libcurl themselves; a library that is not there, or is
// not libcurl, makes them fail and says why.
TEST(CurlLibraryTest, LoadsEveryFunctionOrSaysWhatIsMissing) {
    const CurlLibrary curl = LoadCurlLibrary("libcurl.so.4");
    EXPECT_TRUE(curl.Usable()) << curl.failure;
    EXPECT_TRUE(curl.globalInit && curl.easyInit && curl.easySetopt && curl.easyPerform &&
                curl.easyCleanup && curl.url && curl.urlSet && curl.urlGet && curl.urlCleanup &&
                curl.free);
    EXPECT_TRUE(Curl().Usable()) << Curl().failure;

    const CurlLibrary absent = LoadCurlLibrary("libvorlix-absent.so.9");
    EXPECT_FALSE(absent.Usable());
    EXPECT_NE(absent.failure.find("libvorlix-absent.so.9"), std::string::npos) << absent.failure;

    const CurlLibrary other = LoadCurlLibrary("libc.so.6");
    EXPECT_FALSE(other.Usable());
    EXPECT_EQ(other.failure, "no curl_global_init in libcurl");
}

}  // namespace
}  // namespace vorlix

// SPDX-License-Identifier: GPL-3.0-or-later
// Debian's nginx with the shipped configuration in front of a real server,
// on loopback ports of its own, with a certificate made for the test.
#include "server_process.h"
#include "session/run_verification.h"
#include "testing/json_field.h"
#include "testing/test_game.h"

#include <fstream>
#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>

namespace kestrada::testing {
namespace {

constexpr const char* kNginx = "/usr/sbin/nginx";

void replace(std::string& text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

class BehindNginx : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::filesystem::exists(kNginx)) {
            GTEST_SKIP() << "nginx is not installed";
        }
        const auto folder = scratch_.path();
        server_ = std::make_unique<ServerProcess>(
            std::vector<std::string>{"--database", "sqlite:" + (folder / "db.sqlite").string(),
                                     "--trusted-proxy", "127.0.0.1", "--requests-per-minute", "5",
                                     "--posts-per-minute", "0"},
            folder / "server.log");
        ASSERT_NE(server_->port(), 0);
        const std::string certificate = (folder / "cert.pem").string();
        const std::string key = (folder / "key.pem").string();
        const std::string openssl = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "
                                    "/CN=localhost -keyout " +
                                    key + " -out " + certificate + " 2>/dev/null";
        ASSERT_EQ(std::system(openssl.c_str()), 0);
        std::filesystem::create_directories(folder / "site");
        std::ofstream(folder / "site" / "index.html") << "<title>Kestrada</title>";
        std::ofstream(folder / "site" / "kestrada.wasm") << "wasm";
        tlsPort_ = freePort();
        plainPort_ = freePort();
        std::string conf = fileText(std::filesystem::path(KESTRADA_SOURCE_DIR) / "data" / "nginx" /
                                    "kestrada-server.conf");
        replace(conf, "server 127.0.0.1:8080;",
                "server 127.0.0.1:" + std::to_string(server_->port()) + ";");
        replace(conf, "    listen 80;\n    listen [::]:80;\n",
                "    listen 127.0.0.1:" + std::to_string(freePort()) + ";\n");
        // Plain HTTP beside TLS, so that clients can come from 127.0.0.2 and 127.0.0.3.
        replace(conf, "    listen 443 ssl;\n    listen [::]:443 ssl;\n",
                "    listen 127.0.0.1:" + std::to_string(tlsPort_) +
                    " ssl;\n    listen 127.0.0.1:" + std::to_string(plainPort_) + ";\n");
        replace(conf, "/etc/ssl/certs/kestrada.example.org.pem", certificate);
        replace(conf, "/etc/ssl/private/kestrada.example.org.key", key);
        replace(conf, "/usr/share/kestrada/site", (folder / "site").string());
        std::ofstream(folder / "kestrada.conf") << conf;
        const std::string f = folder.string();
        std::ofstream(folder / "nginx.conf")
            << (geteuid() == 0 ? "user root;\n" : "") << "daemon off;\nworker_processes 1;\npid "
            << f << "/nginx.pid;\nerror_log " << f << "/error.log;\n"
            << "events { worker_connections 256; }\nhttp {\naccess_log off;\n"
            << "client_body_temp_path " << f << "/body;\nproxy_temp_path " << f << "/proxy;\n"
            << "fastcgi_temp_path " << f << "/fastcgi;\nuwsgi_temp_path " << f << "/uwsgi;\n"
            << "scgi_temp_path " << f << "/scgi;\ninclude " << f << "/kestrada.conf;\n}\n";
        nginx_ = std::make_unique<Background>(std::vector<std::string>{kNginx, "-p", f, "-c",
                                                                       f + "/nginx.conf", "-e",
                                                                       f + "/error.log"},
                                              folder / "nginx.log");
        ASSERT_TRUE(nginx_->started());
        ASSERT_TRUE(eventually([&] { return getFrom("127.0.0.1", plainPort_, "/").status == 200; },
                               std::chrono::seconds(10)))
            << fileText(folder / "error.log");
    }

    ScratchDir scratch_;
    std::unique_ptr<ServerProcess> server_;
    std::unique_ptr<Background> nginx_;
    int tlsPort_ = 0;
    int plainPort_ = 0;
};

TEST_F(BehindNginx, TheApiAnswersThroughTlsAndThePageComesFromNginx) {
    httplib::SSLClient client("127.0.0.1", tlsPort_);
    client.enable_server_certificate_verification(false);
    client.set_read_timeout(30);
    const std::string file =
        std::string("# kestrada ") + KESTRADA_VERSION + " seed 9 high \"0\"\n1 down Up\n";
    const std::string score = session::replayRecording(file).score.value_or("?");
    const auto posted = client.Post(("/api/runs?name=Proxied&score=" + score).c_str(), file,
                                    "application/x-www-form-urlencoded");
    ASSERT_TRUE(posted);
    EXPECT_EQ(posted->status, 201) << posted->body;
    EXPECT_EQ(jsonField(posted->body, "status"), "\"verified\"");
    const auto run = client.Get(posted->get_header_value("Location").c_str());
    ASSERT_TRUE(run);
    EXPECT_EQ(jsonField(run->body, "name"), "\"Proxied\"");
    EXPECT_EQ(client.Get("/")->body, "<title>Kestrada</title>");
    EXPECT_EQ(client.Get("/kestrada.wasm")->get_header_value("Content-Type"), "application/wasm");
    EXPECT_EQ(client.Get("/metrics")->status, 403);
    EXPECT_EQ(client.Get("/api/health")->status, 200);
}

TEST_F(BehindNginx, EachClientBehindTheProxyHasItsOwnLimitAndNoOneElseMayNameOne) {
    // Twelve reads span at most one turn of the minute: at least two are over five.
    int refused = 0;
    for (int i = 0; i < 12; ++i) {
        refused += getFrom("127.0.0.2", plainPort_, "/api/boards/all").status == 429 ? 1 : 0;
    }
    EXPECT_GE(refused, 2);
    EXPECT_EQ(getFrom("127.0.0.3", plainPort_, "/api/boards/all").status, 200);
    // Straight to the server from elsewhere, X-Forwarded-For counts for nothing.
    refused = 0;
    for (int i = 0; i < 12; ++i) {
        const std::string forged = "10.0.0." + std::to_string(i);
        const Answer answer = exchangeFrom("127.0.0.4", server_->port(),
                                           "GET /api/boards/all HTTP/1.1\r\nHost: k\r\n"
                                           "X-Forwarded-For: " +
                                               forged + "\r\nConnection: close\r\n\r\n");
        refused += answer.status == 429 ? 1 : 0;
    }
    EXPECT_GE(refused, 2);
}

} // namespace
} // namespace kestrada::testing

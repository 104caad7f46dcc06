// SPDX-License-Identifier: GPL-3.0-or-later
// Boost.Beast on Boost.Asio. One event loop a thread, each connection kept
// on one loop, so a connection's steps need no strand and threads do not
// wake each other for every request. One session a connection: read the
// header against its deadline, let the routes screen it, read the body
// against a deadline that grows with its length, hand the request over and
// write whatever answer comes back, from whichever thread it comes.
#include "server/http_server.h"

#include "server/client_address.h"

#include <algorithm>
#include <atomic>
#include <boost/asio/dispatch.hpp>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <limits>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility> // before Asio: Boost 1.74's awaitable.hpp uses std::exchange
#include <vector>

namespace kestrada::server {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = net::ip::tcp;

namespace {

constexpr std::chrono::milliseconds kAcceptRetry{50};
constexpr const char kContinue[] = "HTTP/1.1 100 Continue\r\n\r\n";

std::string busyAnswer(std::string_view reason) {
    const std::string body = "{\"error\":\"" + std::string(reason) + "\"}";
    return "HTTP/1.1 503 Service Unavailable\r\nRetry-After: 5\r\n"
           "Content-Type: application/json\r\nConnection: close\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::string lowerCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

HttpResponse refusal(int status, const std::string& reason) {
    HttpResponse response;
    response.status = status;
    response.body = "{\"error\":\"" + reason + "\"}";
    response.close = true;
    return response;
}

} // namespace

struct HttpServer::Impl {
    explicit Impl(HttpLimits given) : limits(std::move(given)), loops(makeLoops(limits.threads)) {}

    static std::vector<std::unique_ptr<net::io_context>> makeLoops(unsigned threads) {
        std::vector<std::unique_ptr<net::io_context>> made;
        for (unsigned i = 0; i < std::max(1u, threads); ++i) {
            // One thread runs each loop; others only hand it answers.
            made.push_back(std::make_unique<net::io_context>(1));
        }
        return made;
    }

    // The loop the next connection lives on, in turn.
    net::io_context& nextLoop() { return *loops[nextLoopIndex++ % loops.size()]; }

    void accept();
    void accepted(tcp::socket socket);
    bool admit(const std::string& key, bool perAddress);
    void release(const std::string& key, bool perAddress);

    HttpLimits limits;
    HttpRoutes routes;
    std::mutex mutex;
    std::unordered_map<std::string, unsigned> perAddress;
    std::atomic<std::size_t> open{0};
    // After the counts: sessions still queued when they go release theirs.
    std::vector<std::unique_ptr<net::io_context>> loops;
    std::size_t nextLoopIndex = 0; // the acceptor's loop alone touches it
    tcp::acceptor acceptor{*loops.front()};
    net::steady_timer acceptRetry{*loops.front()};
};

namespace {

class Session : public std::enable_shared_from_this<Session> {
  public:
    Session(HttpServer::Impl& server, tcp::socket socket, std::string peer, std::string key,
            bool fromProxy)
        : server_(server), stream_(std::move(socket)), peer_(std::move(peer)), key_(std::move(key)),
          fromProxy_(fromProxy) {}
    ~Session() { server_.release(key_, !fromProxy_); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void readHeader() {
        head_.emplace();
        head_->header_limit(static_cast<std::uint32_t>(server_.limits.maxHeaderBytes));
        // The routes judge the length from the header; the body's limit comes
        // with its read. Not boost::none: Boost 1.74 compares a length with
        // an empty limit as over it.
        head_->body_limit(std::numeric_limits<std::uint64_t>::max());
        stream_.expires_after(server_.limits.headerDeadline);
        http::async_read_header(stream_, buffer_, *head_,
                                beast::bind_front_handler(&Session::onHeader, shared_from_this()));
    }

  private:
    void onHeader(beast::error_code ec, std::size_t) {
        if (ec == http::error::header_limit) {
            send(refusal(431, "request header too large"));
            return;
        }
        if (ec) {
            if (ec.category() == beast::http::make_error_code(http::error::bad_target).category() &&
                ec != http::error::end_of_stream) {
                send(refusal(400, "not an HTTP request"));
                return;
            }
            close();
            return;
        }
        describe(head_->get());
        if (server_.routes.screen) {
            if (auto refused = server_.routes.screen(request_)) {
                refused->close = true;
                send(std::move(*refused));
                return;
            }
        }
        if (head_->is_done()) {
            dispatch({});
            return;
        }
        const auto expect = head_->get()[http::field::expect];
        if (beast::iequals(expect, "100-continue")) {
            net::async_write(stream_, net::buffer(kContinue, sizeof kContinue - 1),
                             [self = shared_from_this()](beast::error_code failed, std::size_t) {
                                 if (failed) {
                                     self->close();
                                     return;
                                 }
                                 self->readBody();
                             });
            return;
        }
        readBody();
    }

    void describe(const http::request<http::empty_body>& head) {
        request_ = {};
        request_.method = std::string(head.method_string());
        request_.target = std::string(head.target());
        const auto question = request_.target.find('?');
        request_.path =
            percentDecoded(std::string_view(request_.target).substr(0, question), false);
        if (question != std::string::npos) {
            request_.params = parseQuery(std::string_view(request_.target).substr(question + 1));
        }
        for (const auto& field : head) {
            request_.headers.emplace_back(lowerCase(std::string(field.name_string())),
                                          std::string(field.value()));
        }
        request_.peer = peer_;
        request_.client = key_;
        if (fromProxy_) {
            const auto forwarded = request_.header("x-forwarded-for");
            const auto client = forwarded ? forwardedClientKey(*forwarded) : std::nullopt;
            request_.client = client.value_or(key_);
        }
        request_.started = std::chrono::steady_clock::now();
        keepAlive_ = head.keep_alive();
    }

    void readBody() {
        full_.emplace(std::move(*head_));
        head_.reset();
        full_->body_limit(server_.limits.maxBodyBytes);
        const std::uint64_t length = full_->content_length().value_or(server_.limits.maxBodyBytes);
        const auto allowance = std::chrono::milliseconds(
            length * 1000 / std::max<std::size_t>(1, server_.limits.bodyBytesPerSecond));
        stream_.expires_after(server_.limits.headerDeadline + allowance);
        http::async_read(stream_, buffer_, *full_,
                         beast::bind_front_handler(&Session::onBody, shared_from_this()));
    }

    void onBody(beast::error_code ec, std::size_t) {
        if (ec == http::error::body_limit) {
            send(refusal(413, "request body too large"));
            return;
        }
        if (ec) {
            close();
            return;
        }
        std::string body = std::move(full_->get().body());
        full_.reset();
        dispatch(std::move(body));
    }

    void dispatch(std::string body) {
        // Nothing is read while the routes work; the answer sets the next deadline.
        stream_.expires_never();
        HttpRequest request = std::move(request_);
        request.body = std::move(body);
        // What the log needs stays here; the rest goes to the routes.
        request_ = {};
        request_.method = request.method;
        request_.path = request.path;
        request_.client = request.client;
        request_.started = request.started;
        auto self = shared_from_this();
        // Sent at once when answered on the session's own loop, else queued to it.
        Reply reply = [self](HttpResponse response) {
            net::dispatch(
                self->stream_.get_executor(),
                [self, answer = std::move(response)]() mutable { self->send(std::move(answer)); });
        };
        try {
            server_.routes.handle(std::move(request), std::move(reply));
        } catch (...) {
            send(refusal(500, "internal error"));
        }
    }

    void send(HttpResponse answer) {
        response_ = {};
        response_.version(11);
        response_.result(static_cast<unsigned>(answer.status));
        if (!answer.contentType.empty()) {
            response_.set(http::field::content_type, answer.contentType);
        }
        for (const auto& [name, value] : answer.headers) {
            response_.set(name, value);
        }
        status_ = answer.status;
        response_.body() = std::move(answer.body);
        const bool closing = answer.close || !keepAlive_;
        response_.keep_alive(!closing);
        response_.prepare_payload();
        stream_.expires_after(server_.limits.writeDeadline);
        http::async_write(stream_, response_,
                          [self = shared_from_this(), closing](beast::error_code ec, std::size_t) {
                              self->onWritten(ec, closing);
                          });
    }

    void onWritten(beast::error_code ec, bool closing) {
        if (server_.routes.answered && !request_.method.empty()) {
            server_.routes.answered(request_, status_, response_.body().size());
        }
        if (ec || closing) {
            close();
            return;
        }
        readHeader();
    }

    void close() {
        beast::error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
        stream_.close();
    }

    HttpServer::Impl& server_;
    beast::tcp_stream stream_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::empty_body>> head_;
    std::optional<http::request_parser<http::string_body>> full_;
    http::response<http::string_body> response_;
    HttpRequest request_; // the current one, without its body
    int status_ = 0;
    std::string peer_;
    std::string key_;
    bool fromProxy_;
    bool keepAlive_ = false;
};

// Refused at the door: a short answer if the socket takes it at once, then closed.
void turnAway(tcp::socket socket, const std::string& answer) {
    beast::error_code ignored;
    socket.non_blocking(true, ignored);
    socket.write_some(net::buffer(answer), ignored);
    socket.shutdown(tcp::socket::shutdown_both, ignored);
    socket.close(ignored);
}

} // namespace

void HttpServer::Impl::accept() {
    acceptor.async_accept(nextLoop(), [this](beast::error_code ec, tcp::socket socket) {
        if (ec == net::error::operation_aborted || !acceptor.is_open()) {
            return;
        }
        if (ec) {
            // Out of descriptors, most likely: others close in the meantime.
            acceptRetry.expires_after(kAcceptRetry);
            acceptRetry.async_wait([this](beast::error_code) { accept(); });
            return;
        }
        accepted(std::move(socket));
        accept();
    });
}

void HttpServer::Impl::accepted(tcp::socket socket) {
    beast::error_code ec;
    const auto endpoint = socket.remote_endpoint(ec);
    if (ec) {
        return;
    }
    const std::string peer = endpoint.address().to_string();
    const std::string key = addressKey(peer).value_or(peer);
    const bool fromProxy = limits.trustedProxy && addressKey(*limits.trustedProxy) == key;
    if (!admit(key, !fromProxy)) {
        static const std::string busy =
            busyAnswer("too many connections; try again in a few seconds");
        turnAway(std::move(socket), busy);
        return;
    }
    socket.set_option(tcp::no_delay(true), ec);
    // Started on the loop it will live on.
    auto loop = socket.get_executor();
    net::post(loop, [session = std::make_shared<Session>(*this, std::move(socket), peer, key,
                                                         fromProxy)] { session->readHeader(); });
}

bool HttpServer::Impl::admit(const std::string& key, bool countPerAddress) {
    std::lock_guard lock(mutex);
    if (open >= limits.connections) {
        return false;
    }
    if (countPerAddress && limits.connectionsPerAddress != 0) {
        unsigned& count = perAddress[key];
        if (count >= limits.connectionsPerAddress) {
            return false;
        }
        ++count;
    }
    ++open;
    return true;
}

void HttpServer::Impl::release(const std::string& key, bool countPerAddress) {
    std::lock_guard lock(mutex);
    --open;
    if (!countPerAddress || limits.connectionsPerAddress == 0) {
        return;
    }
    const auto found = perAddress.find(key);
    if (found != perAddress.end() && --found->second == 0) {
        perAddress.erase(found);
    }
}

HttpServer::HttpServer(HttpLimits limits) : impl_(std::make_unique<Impl>(std::move(limits))) {}

HttpServer::~HttpServer() = default;

void HttpServer::setRoutes(HttpRoutes routes) {
    impl_->routes = std::move(routes);
}

int HttpServer::listen(const std::string& host, int port) {
    beast::error_code ec;
    tcp::resolver resolver(*impl_->loops.front());
    const auto found = resolver.resolve(host, std::to_string(port), tcp::resolver::passive, ec);
    if (ec || found.empty()) {
        return 0;
    }
    const tcp::endpoint endpoint = found.begin()->endpoint();
    tcp::acceptor& acceptor = impl_->acceptor;
    acceptor.open(endpoint.protocol(), ec);
    if (!ec) {
        acceptor.set_option(net::socket_base::reuse_address(true), ec);
        acceptor.bind(endpoint, ec);
    }
    if (!ec) {
        acceptor.listen(net::socket_base::max_listen_connections, ec);
    }
    if (ec) {
        acceptor.close(ec);
        return 0;
    }
    return acceptor.local_endpoint().port();
}

void HttpServer::run() {
    impl_->accept();
    std::vector<net::executor_work_guard<net::io_context::executor_type>> keep;
    std::vector<std::thread> more;
    for (std::size_t i = 1; i < impl_->loops.size(); ++i) {
        // A loop with no connection yet waits for one instead of returning.
        keep.push_back(net::make_work_guard(*impl_->loops[i]));
        more.emplace_back([this, i] { impl_->loops[i]->run(); });
    }
    impl_->loops.front()->run();
    for (auto& thread : more) {
        thread.join();
    }
}

void HttpServer::stop() {
    for (auto& loop : impl_->loops) {
        loop->stop();
    }
}

std::size_t HttpServer::openConnections() const {
    return impl_->open.load();
}

} // namespace kestrada::server

// SPDX-License-Identifier: GPL-3.0-or-later
// One line a request on standard output, for journald: time, client,
// method, path (without its query: names stay out of the log), status,
// bytes of the answer's body and milliseconds taken.
#pragma once

#include "server/http_message.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace kestrada::server {

std::string accessLine(const HttpRequest& req, int status, std::size_t bytes, int64_t nowMs,
                       double milliseconds);

// Lines written and flushed by a thread of its own: a slow reader of
// standard output never holds a request's thread. A quiet server's line is
// written as soon as its request is answered; under load the writer takes
// what came in a short pause after each write, so requests do not wake it
// one by one.
class AccessLog {
  public:
    AccessLog();
    ~AccessLog(); // writes what is left
    AccessLog(const AccessLog&) = delete;
    AccessLog& operator=(const AccessLog&) = delete;

    void add(const HttpRequest& req, int status, std::size_t bytes);

  private:
    void flushLoop();
    void write(const std::string& lines);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::string pending_;
    std::size_t dropped_ = 0;
    bool stopping_ = false;
    bool idle_ = false; // the writer waits for a first line
    std::thread flusher_;
};

} // namespace kestrada::server

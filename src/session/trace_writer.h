// SPDX-License-Identifier: GPL-3.0-or-later
// The state trace: one JSON object per slot, written as JSON Lines. The
// records are built in one growing buffer and handed to the file in large
// chunks, so a long trace costs little more than the game itself.
#pragma once

#include "app/form.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace kestrada::session {

// Appends the record of one slot, with its line end.
void appendRecord(std::string& out, const Form& form, uint64_t slot, bool ticked,
                  const std::vector<std::string>& sounds);
// The record of one slot without its line end, as a test hook reads it.
std::string recordLine(const Form& form, uint64_t slot, bool ticked,
                       const std::vector<std::string>& sounds);

class TraceWriter {
  public:
    TraceWriter() = default;
    TraceWriter(const TraceWriter&) = delete;
    TraceWriter& operator=(const TraceWriter&) = delete;
    ~TraceWriter();

    // Creates or empties the file; false with a reason when it cannot.
    bool open(const std::filesystem::path& file, std::string& error);
    void write(const Form& form, uint64_t slot, bool ticked,
               const std::vector<std::string>& sounds);
    // Writes what is buffered and closes; false when any write failed.
    bool close();

  private:
    void flush();

    static constexpr std::size_t kFlushAt = 1 << 20;
    std::FILE* file_ = nullptr;
    std::string buffer_;
    bool failed_ = false;
};

} // namespace kestrada::session

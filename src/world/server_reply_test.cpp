// SPDX-License-Identifier: GPL-3.0-or-later
// The server's answers as the window and the page both read them.
#include "world/server_reply.h"

#include <gtest/gtest.h>

namespace kestrada::session {
namespace {

TEST(ServerReply, ScalarsAndEntriesBecomeTextFieldsAndAnythingElseStaysText) {
    const WorldReply board = serverReply(
        200, R"( {"entries": [{"rank": 1, "name": "Zo\u00eb \ud83d\ude97", "score": "3043",
                 "ok": true, "run": null}, 7], "date": "2026-12-07", "ratio": -2.5e-1,
                 "nested": {"skip": [1, {"a": 2}]}} )");
    EXPECT_EQ(board.status, 200);
    EXPECT_TRUE(board.text.empty());
    EXPECT_EQ(board.fields.at("date"), "2026-12-07");
    EXPECT_EQ(board.fields.at("ratio"), "-2.5e-1");
    EXPECT_FALSE(board.fields.contains("nested"));
    EXPECT_FALSE(board.fields.contains("entries"));
    ASSERT_EQ(board.entries.size(), 2u);
    EXPECT_EQ(board.entries[0].at("rank"), "1");
    EXPECT_EQ(board.entries[0].at("name"), "Zo\xC3\xAB \xF0\x9F\x9A\x97");
    EXPECT_EQ(board.entries[0].at("ok"), "true");
    EXPECT_EQ(board.entries[0].at("run"), "");
    EXPECT_TRUE(board.entries[1].empty());

    const std::string recording = "# kestrada 1.0 seed 7\n12 down Up\n";
    EXPECT_EQ(serverReply(200, recording).text, recording);
    const std::string tooDeep = R"({"a": )" + std::string(40, '[') + std::string(40, ']') + "}";
    for (const std::string& broken :
         std::vector<std::string>{R"({"a": 1)", R"({"a": "\ud800"})", R"({"a": 1} x)", R"([1, 2])",
                                  R"({"a": 1.})", R"({"a": - 1})", tooDeep}) {
        const WorldReply reply = serverReply(502, broken);
        EXPECT_TRUE(reply.fields.empty()) << broken;
        EXPECT_EQ(reply.text, broken);
    }
}

} // namespace
} // namespace kestrada::session

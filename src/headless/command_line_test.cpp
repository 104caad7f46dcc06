// SPDX-License-Identifier: GPL-3.0-or-later
#include "headless/command_line.h"

#include <gtest/gtest.h>

namespace kestrada::headless {
namespace {

TEST(CommandLine, DefaultsToAPlainRunOf1500SlotsAndReadsEveryOptionInAnyOrder) {
    const Options plain = parseCommandLine({"--headless"}).options;
    EXPECT_TRUE(!plain.help && !plain.seed && !plain.input && !plain.trace && !plain.dataDir);
    EXPECT_EQ(plain.slots, 1500u);
    const CommandLine parsed =
        parseCommandLine({"--trace", "t.jsonl", "--seed", "4294967295", "--headless", "--slots",
                          "0", "--data-dir", "/tmp/k", "--input", "in.txt", "-h"});
    ASSERT_EQ(parsed.error, "");
    const Options& o = parsed.options;
    EXPECT_TRUE(o.help && o.seed == 4294967295u && o.slots == 0u);
    EXPECT_TRUE(o.input == "in.txt" && o.trace == "t.jsonl" && o.dataDir == "/tmp/k");
}

TEST(CommandLine, NamesTheProblemWithBadArguments) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--seed", "4294967296"}, "--seed: 4294967296 is out of range 0 to 4294967295"},
        {{"--slots", ""}, "--slots: \"\" is not a whole number"},
        {{"--seed"}, "--seed needs a value"},
        {{"--input", ""}, "--input needs a value"},
        {{"--seed=3"}, "unknown argument \"--seed=3\""},
        {{"--slots", "10", "--slots", "10"}, "--slots given more than once"},
    };
    for (const auto& [args, error] : cases) {
        EXPECT_EQ(parseCommandLine(args).error, error) << args.front();
    }
}

} // namespace
} // namespace kestrada::headless

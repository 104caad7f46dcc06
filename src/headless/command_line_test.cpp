#include "headless/command_line.h"

#include <gtest/gtest.h>

namespace kestrada::headless {
namespace {

TEST(CommandLine, DefaultsToAPlainRunOf1500SlotsAndReadsEveryOptionInAnyOrder) {
    const CommandLine plain = parseCommandLine({"--headless"});
    ASSERT_EQ(plain.error, "");
    EXPECT_FALSE(plain.options.help);
    EXPECT_FALSE(plain.options.seed);
    EXPECT_EQ(plain.options.slots, 1500u);
    EXPECT_FALSE(plain.options.input);
    EXPECT_FALSE(plain.options.trace);
    EXPECT_FALSE(plain.options.dataDir);

    const CommandLine parsed =
        parseCommandLine({"--trace", "t.jsonl", "--seed", "4294967295", "--headless", "--slots",
                          "0", "--data-dir", "/tmp/k", "--input", "in.txt"});
    ASSERT_EQ(parsed.error, "");
    const Options& o = parsed.options;
    EXPECT_EQ(o.seed, 4294967295u);
    EXPECT_EQ(o.slots, 0u);
    EXPECT_EQ(o.input, std::filesystem::path("in.txt"));
    EXPECT_EQ(o.trace, std::filesystem::path("t.jsonl"));
    EXPECT_EQ(o.dataDir, std::filesystem::path("/tmp/k"));
    EXPECT_EQ(parseCommandLine({"--seed", "007"}).options.seed, 7u);
    EXPECT_TRUE(parseCommandLine({"--help"}).options.help);
    EXPECT_TRUE(parseCommandLine({"--headless", "-h"}).options.help);
}

TEST(CommandLine, NamesTheProblemWithBadArguments) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--seed", "4294967296"}, "--seed: 4294967296 is out of range 0 to 4294967295"},
        {{"--slots", "99999999999999999999"},
         "--slots: 99999999999999999999 is out of range 0 to 4294967295"},
        {{"--seed", "-1"}, "--seed: \"-1\" is not a whole number"},
        {{"--slots", ""}, "--slots: \"\" is not a whole number"},
        {{"--seed"}, "--seed needs a value"},
        {{"--input", ""}, "--input needs a value"},
        {{"--speed", "3"}, "unknown argument \"--speed\""},
        {{"--seed=3"}, "unknown argument \"--seed=3\""},
        {{"--seed", "1", "--seed", "2"}, "--seed given more than once"},
        {{"--slots", "10", "--slots", "10"}, "--slots given more than once"},
        {{"--input", "a", "--input", "b"}, "--input given more than once"},
    };
    for (const auto& [args, error] : cases) {
        EXPECT_EQ(parseCommandLine(args).error, error) << args.front();
    }
}

} // namespace
} // namespace kestrada::headless

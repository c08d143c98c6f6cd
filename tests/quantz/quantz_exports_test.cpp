// The library exports its two functions and nothing else: the core library linked into it stays
// hidden, so it cannot clash with the program's own copy.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

TEST(QuantzExports, OnlyTheTwoFunctions) {
    FILE* pipe = popen("nm -D --defined-only " QUANTZ_LIBRARY " 2>/dev/null", "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> symbols;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        char type = 0;
        char name[400] = {};
        if (std::sscanf(line, "%*s %c %399s", &type, name) == 2) symbols.insert(name);
    }
    const int status = pclose(pipe);
    if (status != 0 && symbols.empty()) GTEST_SKIP() << "nm not available";
    EXPECT_EQ(symbols, (std::set<std::string>{"Convert24To256", "SetProgressFunction"}));
}

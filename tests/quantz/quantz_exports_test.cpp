// The library exports its three functions and nothing else: the core library linked into it stays
// hidden, so it cannot clash with the program's own copy.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "quantz_test_image.h"

TEST(QuantzExports, OnlyItsOwnFunctions) {
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
    EXPECT_EQ(symbols, (std::set<std::string>{"Convert24To256", "ReduceColours", "SetProgressFunction"}));
}

// The program loads the library and looks both functions up by name, with the pointer types that
// quantz.h declares beside them; a reduction through those pointers works as a direct call does.
TEST(QuantzExports, LookedUpAsTheProgramDoes) {
    void* library = dlopen(QUANTZ_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    const auto convert = reinterpret_cast<QuantzConvert>(dlsym(library, "Convert24To256"));
    const auto setProgress = reinterpret_cast<QuantzSetProgress>(dlsym(library, "SetProgressFunction"));
    ASSERT_NE(convert, nullptr);
    ASSERT_NE(setProgress, nullptr);
    static int s_last = -1;
    setProgress([](int percent) { return s_last = percent; });
    InputImage input(9, 4, [](int x, int y) { return Rgb{uint8_t(20 * x), uint8_t(60 * y), 7}; });
    uint8_t* bits = input.bits();
    BITMAPINFOHEADER* header = convert(&bits, &input.header(), 1, 2);
    setProgress(nullptr);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biBitCount, 8);
    EXPECT_NE(bits, input.bits());
    EXPECT_EQ(s_last, 100);
    std::free(header);
    std::free(bits);
    dlclose(library);
}

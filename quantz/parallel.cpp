#include "quantz/parallel.h"

#include <cstdlib>
#include <cstring>

bool HelperThreadAllowed() {
    const char* threads = std::getenv("ORVIK_QUANTZ_THREADS");
    if (threads && std::strcmp(threads, "1") == 0) return false;
    return std::thread::hardware_concurrency() >= 2;
}

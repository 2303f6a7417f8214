#include "Engine/ProcessMemory.h"

#include <malloc.h>

#include <cstdio>

namespace {

long residentKiB() {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return 0;
    long kib = 0;
    char line[256];
    while (std::fgets(line, sizeof line, status) != nullptr)
        if (std::sscanf(line, "VmRSS: %ld kB", &kib) == 1) break;
    std::fclose(status);
    return kib;
}

long heapKiB() {
    const struct mallinfo2 heap = mallinfo2();
    return static_cast<long>((heap.uordblks + heap.hblkhd) / 1024);
}

}  // namespace

KEProcessMemory KESysProcessMemory() {
    return {residentKiB(), heapKiB()};
}

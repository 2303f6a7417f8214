// How much memory the process holds, for long runs that watch it stay flat.
#pragma once

struct KEProcessMemory {
    long residentKiB = 0;  // resident set (VmRSS): what the system lends the process
    long heapKiB = 0;      // bytes handed out by malloc and not yet freed, mapped chunks included
};

// Measured now; a figure that cannot be read stays 0.
KEProcessMemory KESysProcessMemory();

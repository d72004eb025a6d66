#pragma once

#include <QtGlobal>

#include <sys/types.h>

// Memory that processes hold, and the memory still free, read from /proc.
class ProcessMemory {
public:
    // Memory the system can give to new work without swapping (0 when unknown).
    static qint64 AvailableBytes();
    // Resident bytes of every process in the process group (a child started
    // in a group of its own, with whatever it started); 0 when none is found.
    static qint64 GroupResidentBytes(pid_t group);
};

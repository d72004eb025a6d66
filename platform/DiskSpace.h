#pragma once

#include <QString>

// Free space of the file system that holds a folder, as a user other than root
// may use it.
class DiskSpace {
public:
    // Free bytes, or -1 when the folder's file system cannot be asked.
    static qint64 FreeBytes(const QString& folder);
    // True when fewer than minBytes are free, or no new file could be made for
    // want of free entries (inodes). False when it cannot be told.
    static bool Short(const QString& folder, qint64 minBytes);
};

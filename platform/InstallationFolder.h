#pragma once

#include <QString>

// The folder the running program lives in (its /proc/self/exe with every link
// resolved), without a trailing separator. Files installed beside the program
// (the help, a bundled Ghostscript) are looked up there.
QString InstallationFolder();

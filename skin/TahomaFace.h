#pragma once

#include <QString>

// Makes "Tahoma" usable by name: loads Wine's Tahoma when it is installed,
// otherwise maps the name to the closest sans face. The dialog faces "MS Shell
// Dlg", "MS Sans Serif" and "Microsoft Sans Serif" map to the same face.
// Call once after the application object exists. Returns the family used.
QString InstallTahomaFace(const QString& wineFontFolder = QStringLiteral("/usr/share/wine/fonts"));

#pragma once

#include "automation/OfficeOptions.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

class OfficeProcess;

// The office's profile folder as a fresh start leaves it, kept once in the
// user's cache folder (…/orvik-excel-to-pdf/profile-template) and copied for
// every office process, so that no process pays for creating a profile and no
// two processes ever share one. The user's own office profile is never used.
class OfficeProfileTemplate {
public:
    // The template's folder (it may not exist yet).
    static QString Folder();
    // Makes the template when it is missing or was made by another office
    // version: an office runs once on a folder beside it, ends cleanly, and the
    // folder is renamed into place. False (with a message) when that failed.
    static bool Ensure(const OfficeOptions& options, QString* error = nullptr);
    // A new private folder (mode 0700) for one office process, holding a copy of
    // the template when there is one. Null when no folder could be made.
    static std::unique_ptr<QTemporaryDir> NewProfileFolder(bool* fromTemplate);
    // The pattern of a new profile folder in the temporary folder, named after
    // this process, so that a later run can remove one a killed run left.
    static QString NewFolderPattern();

private:
    static bool IsCurrent(const QString& folder);
    static bool Build(const QString& cacheFolder, const OfficeOptions& options, QString* error);
    static bool MarkFirstStartDone(OfficeProcess& office, QString* error);
    static bool CopyTree(const QString& from, const QString& to);
};

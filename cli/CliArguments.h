#pragma once

#include "cli/BatchArguments.h"
#include "options/ConversionOptions.h"

#include <QString>
#include <QStringList>

class WakePipe;

// What the command line asks for.
struct CliSettings {
    QStringList workbooks;        // as given, in order
    QString outputFolder;         // as given with -o
    QString mergeFile;            // as given with --merge: one PDF for all workbooks instead
    ConversionOptions options;    // every PDF setting, passwords included
    bool overwrite = false;       // replace PDFs that exist
    int jobs = 0;                 // lanes that convert at once (0: the machine's default)
    bool haveWorkbookPassword = false;
    QString workbookPassword;     // tried first on a workbook that refuses to open
    bool help = false;
    BatchArguments batch;         // lists, shares and the report for batches
};

// The command line of orvik-xl2pdf:
//   orvik-xl2pdf [options] WORKBOOK... -o FOLDER
// Options take their value as the next argument or after "=". Passwords are
// read from files (or standard input), never taken from an argument.
class CliArguments {
public:
    // Exit codes of the program.
    static constexpr int kAllConverted = 0;
    static constexpr int kNotAllConverted = 1;
    static constexpr int kBadUsage = 2;
    // The most lanes --jobs accepts.
    static constexpr int kMostJobs = 64;

    // args without the program name. False, with a one-line reason, on bad usage
    // (this includes a password file that cannot be read), or when stop ends the
    // reading of a password.
    static bool Parse(const QStringList& args, CliSettings* settings, QString* error, const WakePipe* stop = nullptr);

    static QString Usage();

private:
    struct State;

    static bool TakeValue(const QStringList& args, int& i, const QString& name, const QString& inlineValue,
                          bool hasInline, QString* value, QString* error);
    static bool ApplyOption(const QString& name, const QString& value, State* state, QString* error);
    // --no-bookmarks, --fit-width, --pdfa; false for any other argument.
    static bool ApplyFlag(const QString& arg, ConversionOptions* o);
    static bool ApplyDeny(const QString& list, ConversionOptions* o, QString* error);
    static bool ApplyChoice(const QString& name, const QString& value, ConversionOptions* o, QString* error);
    static bool CheckConsistent(const State& state, QString* error);
    static bool ReadPasswords(State* state, const WakePipe& stop, QString* error);
};

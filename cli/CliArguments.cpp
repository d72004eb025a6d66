#include "cli/CliArguments.h"

#include "cli/ArgumentBytes.h"
#include "cli/PasswordFile.h"
#include "cli/WakePipe.h"
#include "engine/GhostscriptCommand.h"

#include <QHash>

namespace {

// The options that take a value, and the password file options among them.
const QStringList kValueOptions = {
    QStringLiteral("--title"),           QStringLiteral("--author"),
    QStringLiteral("--subject"),         QStringLiteral("--keywords"),
    QStringLiteral("--owner-password-file"), QStringLiteral("--user-password-file"),
    QStringLiteral("--workbook-password-file"), QStringLiteral("--deny"),
    QStringLiteral("--encryption"),      QStringLiteral("--doc-compression"),
    QStringLiteral("--image-compression"), QStringLiteral("--jpeg-quality"),
    QStringLiteral("--pdf-version"),     QStringLiteral("-o"),
    QStringLiteral("--output"),          QStringLiteral("--jobs"),
    QStringLiteral("--page-layout"),     QStringLiteral("--page-mode"),
    QStringLiteral("--merge"),
};

// Command-line value -> item text of its list.
const QHash<QString, QHash<QString, QString>>& Choices()
{
    static const QHash<QString, QHash<QString, QString>> choices = {
        {QStringLiteral("--doc-compression"),
         {{QStringLiteral("flate"), QStringLiteral("Flate")}, {QStringLiteral("lzw"), QStringLiteral("LZW")}}},
        {QStringLiteral("--image-compression"),
         {{QStringLiteral("flate"), QStringLiteral("Flate")},
          {QStringLiteral("jpeg"), QStringLiteral("JPEG")},
          {QStringLiteral("auto"), QStringLiteral("Automatic")}}},
        {QStringLiteral("--jpeg-quality"),
         {{QStringLiteral("minimum"), QStringLiteral("Minimum")},
          {QStringLiteral("low"), QStringLiteral("Low")},
          {QStringLiteral("medium"), QStringLiteral("Medium")},
          {QStringLiteral("maximum"), QStringLiteral("Maximum")}}},
        {QStringLiteral("--pdf-version"),
         {{QStringLiteral("1.3"), QStringLiteral("V1.3(Acrobat 4.xx)")},
          {QStringLiteral("1.4"), QStringLiteral("V1.4")},
          {QStringLiteral("1.5"), QStringLiteral("V1.5")}}},
        {QStringLiteral("--page-layout"),
         {{QStringLiteral("continuous"), QStringLiteral("Continuous")},
          {QStringLiteral("single"), QStringLiteral("Single Page")},
          {QStringLiteral("facing"), QStringLiteral("Facing")},
          {QStringLiteral("continuous-facing"), QStringLiteral("Continuous Facing")}}},
        {QStringLiteral("--page-mode"),
         {{QStringLiteral("normal"), QStringLiteral("Normal")},
          {QStringLiteral("bookmarks"), QStringLiteral("Bookmarks")},
          {QStringLiteral("thumbnails"), QStringLiteral("Thumbnails")},
          {QStringLiteral("full-screen"), QStringLiteral("Full Screen")}}},
    };
    return choices;
}

// What a password file's password is for, as a terminal asks for it.
QString Asked(const QString& which)
{
    if (which == QLatin1String("owner"))
        return QStringLiteral("Owner password of the PDFs");
    if (which == QLatin1String("user"))
        return QStringLiteral("User password of the PDFs (to open them)");
    return QStringLiteral("Password of the workbooks that refuse to open");
}

QString Allowed(const QString& option)
{
    QStringList values = Choices().value(option).keys();
    values.sort();
    return values.join(QLatin1Char('|'));
}

} // namespace

// What parsing has gathered so far.
struct CliArguments::State {
    CliSettings* settings = nullptr;
    QList<QPair<QString, QString>> passwordFiles; // ("owner" | "user" | "workbook", file), in order
    bool encryptionGiven = false;

    bool HasPasswordFile(const QString& which) const
    {
        for (const auto& [w, file] : passwordFiles)
            if (w == which)
                return true;
        return false;
    }
};

bool CliArguments::Parse(const QStringList& args, CliSettings* s, QString* error, const WakePipe* stop)
{
    *s = CliSettings();
    State state;
    state.settings = s;
    bool onlyWorkbooks = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString arg = args.at(i);
        if (onlyWorkbooks || arg == QLatin1String("-") || !arg.startsWith(QLatin1Char('-'))) {
            s->workbooks << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            onlyWorkbooks = true;
            continue;
        }
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            s->help = true;
            return true;
        }
        if (arg == QLatin1String("--overwrite")) {
            s->overwrite = true;
            continue;
        }
        if (ApplyFlag(arg, &s->options))
            continue;
        const qsizetype eq = arg.startsWith(QLatin1String("--")) ? arg.indexOf(QLatin1Char('=')) : -1;
        const QString name = eq < 0 ? arg : arg.left(eq);
        if (!kValueOptions.contains(name) && !BatchArguments::Takes(name)) {
            *error = QStringLiteral("unknown option %1").arg(arg);
            return false;
        }
        QString value;
        if (!TakeValue(args, i, name, arg.mid(eq + 1), eq >= 0, &value, error))
            return false;
        if (!ApplyOption(name, value, &state, error))
            return false;
    }
    const WakePipe never;
    return CheckConsistent(state, error) && s->batch.ReadLists(&s->workbooks, stop ? *stop : never, error)
           && ReadPasswords(&state, stop ? *stop : never, error);
}

bool CliArguments::TakeValue(const QStringList& args, int& i, const QString& name, const QString& inlineValue,
                             bool hasInline, QString* value, QString* error)
{
    if (hasInline) {
        *value = inlineValue;
        return true;
    }
    if (i + 1 >= args.size()) {
        *error = QStringLiteral("%1 needs a value").arg(name);
        return false;
    }
    *value = args.at(++i);
    return true;
}

bool CliArguments::ApplyOption(const QString& name, const QString& value, State* state, QString* error)
{
    CliSettings* s = state->settings;
    ConversionOptions& o = s->options;
    if (name == QLatin1String("-o") || name == QLatin1String("--output")) {
        if (!s->outputFolder.isEmpty()) {
            *error = QStringLiteral("the output folder is given twice");
            return false;
        }
        if (value.isEmpty()) {
            *error = QStringLiteral("%1 needs a folder").arg(name);
            return false;
        }
        s->outputFolder = value;
    } else if (name == QLatin1String("--merge")) {
        if (value.isEmpty() || value.endsWith(QLatin1Char('/'))) {
            *error = QStringLiteral("--merge needs a file name (FILE.pdf)");
            return false;
        }
        s->mergeFile = value;
    } else if (!ArgumentBytes::IsText(value) && !name.endsWith(QLatin1String("-password-file"))) {
        *error = QStringLiteral("the value of %1 is not valid UTF-8 text").arg(name);
        return false;
    } else if (BatchArguments::Takes(name)) {
        return s->batch.Apply(name, value, s->workbooks.size(), error);
    } else if (name == QLatin1String("--jobs")) {
        bool ok = false;
        s->jobs = value.toInt(&ok);
        if (!ok || s->jobs < 1 || s->jobs > kMostJobs) {
            *error = QStringLiteral("bad value \"%1\" for --jobs (a number from 1 to %2)").arg(value).arg(kMostJobs);
            return false;
        }
    } else if (name == QLatin1String("--title")) {
        o.m_strDocTitle = value;
    } else if (name == QLatin1String("--author")) {
        o.m_strDocAuthor = value;
    } else if (name == QLatin1String("--subject")) {
        o.m_strDocSubject = value;
    } else if (name == QLatin1String("--keywords")) {
        o.m_strDocKeywords = value;
    } else if (name.endsWith(QLatin1String("-password-file"))) {
        const QString which = name.mid(2, name.indexOf(QLatin1Char('-'), 2) - 2);
        if (state->HasPasswordFile(which)) {
            *error = QStringLiteral("%1 is given twice").arg(name);
            return false;
        }
        state->passwordFiles.append({which, value});
    } else if (name == QLatin1String("--deny")) {
        return ApplyDeny(value, &o, error);
    } else if (name == QLatin1String("--encryption")) {
        if (value != QLatin1String("low") && value != QLatin1String("high")) {
            *error = QStringLiteral("bad value \"%1\" for --encryption (low|high)").arg(value);
            return false;
        }
        o.m_nEncryptionLevel = value == QLatin1String("high") ? 1 : 0;
        state->encryptionGiven = true;
    } else {
        return ApplyChoice(name, value, &o, error);
    }
    return true;
}

bool CliArguments::ApplyFlag(const QString& arg, ConversionOptions* o)
{
    if (arg == QLatin1String("--no-bookmarks"))
        o->m_bBookmarks = 0;
    else if (arg == QLatin1String("--fit-width"))
        o->m_bFitWidth = 1;
    else if (arg == QLatin1String("--pdfa"))
        o->m_bPdfA = 1;
    else
        return false;
    return true;
}

bool CliArguments::ApplyDeny(const QString& list, ConversionOptions* o, QString* error)
{
    const QStringList items = list.split(QLatin1Char(','));
    for (const QString& raw : items) {
        const QString item = raw.trimmed();
        if (item == QLatin1String("copy"))
            o->m_bCopyExtract = 1;
        else if (item == QLatin1String("forms"))
            o->m_bFormFill = 1;
        else if (item == QLatin1String("change"))
            o->m_bChangeDoc = 1;
        else if (item == QLatin1String("print"))
            o->m_bPrinting = 1;
        else {
            *error = QStringLiteral("bad value \"%1\" for --deny (a comma list of copy, forms, change, print)").arg(raw);
            return false;
        }
    }
    return true;
}

bool CliArguments::ApplyChoice(const QString& name, const QString& value, ConversionOptions* o, QString* error)
{
    const QHash<QString, QString> choices = Choices().value(name);
    if (!choices.contains(value)) {
        *error = QStringLiteral("bad value \"%1\" for %2 (%3)").arg(value, name, Allowed(name));
        return false;
    }
    const QString item = choices.value(value);
    if (name == QLatin1String("--doc-compression"))
        o->m_strDocCompression = item;
    else if (name == QLatin1String("--image-compression"))
        o->m_strImageCompression = item;
    else if (name == QLatin1String("--jpeg-quality"))
        o->m_strJpegQuality = item;
    else if (name == QLatin1String("--page-layout"))
        o->m_strPageLayout = item;
    else if (name == QLatin1String("--page-mode"))
        o->m_strPageMode = item;
    else
        o->m_strPdfVersion = item;
    return true;
}

// Settings that would have no effect are refused, so that nobody takes an
// unprotected PDF for a protected one.
bool CliArguments::CheckConsistent(const State& state, QString* error)
{
    const CliSettings& s = *state.settings;
    if (s.workbooks.isEmpty() && !s.batch.HasLists()) {
        *error = QStringLiteral("no workbook given");
        return false;
    }
    if (s.outputFolder.isEmpty() && s.mergeFile.isEmpty()) {
        *error = QStringLiteral("no output folder given (-o FOLDER)");
        return false;
    }
    if (!s.outputFolder.isEmpty() && !s.mergeFile.isEmpty()) {
        *error = QStringLiteral("--merge writes one PDF instead of one per workbook in -o FOLDER: give only one of them");
        return false;
    }
    const bool owner = state.HasPasswordFile(QStringLiteral("owner"));
    const ConversionOptions& o = s.options;
    if (o.m_bPdfA && owner) {
        *error = QStringLiteral("--pdfa cannot go with --owner-password-file: a PDF/A file cannot be encrypted");
        return false;
    }
    if (!owner) {
        const char* without = nullptr;
        if (state.HasPasswordFile(QStringLiteral("user")))
            without = "--user-password-file";
        else if (o.m_bCopyExtract || o.m_bFormFill || o.m_bChangeDoc || o.m_bPrinting)
            without = "--deny";
        else if (state.encryptionGiven)
            without = "--encryption";
        if (without) {
            *error = QStringLiteral("%1 needs --owner-password-file: without an owner password the PDF gets no security")
                         .arg(QLatin1String(without));
            return false;
        }
    }
    int onStdin = 0;
    for (const auto& [which, file] : state.passwordFiles)
        onStdin += file == PasswordFile::StdinName() ? 1 : 0;
    if (onStdin > 1) {
        *error = QStringLiteral("only one password file may be standard input (-)");
        return false;
    }
    if (onStdin > 0 && s.batch.ListOnStdin()) {
        *error = QStringLiteral("standard input (-) cannot give both the list of workbooks and a password");
        return false;
    }
    return true;
}

bool CliArguments::ReadPasswords(State* state, const WakePipe& stop, QString* error)
{
    CliSettings* s = state->settings;
    ConversionOptions& o = s->options;
    for (const auto& [which, file] : state->passwordFiles) {
        QString password;
        if (!PasswordFile::Read(file, Asked(which), stop, &password, error))
            return false;
        if (which == QLatin1String("owner")) {
            if (password.isEmpty()) {
                *error = QStringLiteral("the owner password is empty: the PDF would get no security");
                return false;
            }
            o.m_bEnableSecurity = 1;
            o.m_bOwnerPassword = 1;
            o.m_strOwnerPassword = password;
        } else if (which == QLatin1String("user")) {
            o.m_bUserPassword = 1;
            o.m_strUserPassword = password;
        } else {
            s->haveWorkbookPassword = true;
            s->workbookPassword = password;
        }
    }
    // A password a PDF cannot hold whole is refused before anything starts.
    *error = GhostscriptCommand::CheckPasswords(o);
    return error->isEmpty();
}

QString CliArguments::Usage()
{
    return QStringLiteral(
        "Usage: orvik-xl2pdf [options] WORKBOOK... -o FOLDER\n"
        "       orvik-xl2pdf [options] WORKBOOK... --merge FILE.pdf\n"
        "Converts workbooks (.xls, .xlsx, .xlsm, .xlsb, .xltx, .xltm, .ods; macros never run)\n"
        "into PDFs named after them in FOLDER.\n"
        "\n"
        "Document information:\n"
        "  --title TEXT, --author TEXT, --subject TEXT, --keywords TEXT\n"
        "Security (passwords are read from a file, its first line; - is standard input):\n"
        "  --owner-password-file F    protect the PDF with this owner password\n"
        "  --user-password-file F     also ask this password to open the PDF\n"
        "  --deny LIST                withdraw actions: comma list of copy, forms, change, print\n"
        "  --encryption low|high      40-bit (default) or 128-bit RC4\n"
        "Output settings:\n"
        "  --doc-compression flate|lzw            (default flate)\n"
        "  --image-compression flate|jpeg|auto    (default flate)\n"
        "  --jpeg-quality minimum|low|medium|maximum  (default minimum)\n"
        "  --pdf-version 1.3|1.4|1.5              (default 1.3)\n"
        "  --page-layout continuous|single|facing|continuous-facing  (default continuous)\n"
        "  --page-mode normal|bookmarks|thumbnails|full-screen       (default normal)\n"
        "  --no-bookmarks              leave out the outline (one entry per sheet)\n"
        "  --fit-width                 print each sheet one page wide (the workbook is not changed)\n"
        "  --pdfa                      archival PDF/A-2b (sRGB; not with security)\n"
        "Workbooks:\n"
        "  --workbook-password-file F  password tried on workbooks that refuse to open;\n"
        "                              otherwise the terminal asks, or the workbook is skipped\n"
        "  --overwrite                 replace PDFs that exist (otherwise they are kept)\n"
        "  --jobs N                    convert N workbooks at once, each with an office\n"
        "                              of its own (default: one per processor, as memory allows)\n"
        "  -o FOLDER, --output FOLDER  where the PDFs go (must exist)\n"
        "  --merge FILE.pdf            one PDF of all converted workbooks in list order\n"
        "                              instead of -o (an outline of workbooks and sheets)\n"
        "  --help                      show this text\n"
        "Batches (see also orvik-batch, which runs a list on a Slurm cluster):\n"
        "  --files-from LIST           also convert the workbooks LIST names, one a line\n"
        "                              (- is standard input; empty lines are left out)\n"
        "  --shard K/N|auto            convert only the workbooks whose place i (from 0)\n"
        "                              in the whole list has i mod N = K; auto takes K\n"
        "                              and N from the Slurm array task\n"
        "  --report FILE               write a JSON line per workbook to FILE as it is\n"
        "                              done (- is standard output, instead of the PDFs)\n"
        "\n"
        "Examples:\n"
        "  orvik-xl2pdf --overwrite ~/Reports/*.xlsx -o ~/Reports/pdf\n"
        "  orvik-xl2pdf --title \"Sales 2026\" --page-mode bookmarks sales.xlsx -o pdfs\n"
        "  orvik-xl2pdf --owner-password-file ~/.owner-password --deny print book.xls -o pdfs\n"
        "  orvik-xl2pdf --merge ~/Reports/year.pdf --page-mode bookmarks ~/Reports/*.xlsx\n"
        "  orvik-xl2pdf --fit-width --pdfa wide-table.xlsx -o archive\n"
        "\n"
        "Exit status: 0 every workbook converted, 1 some workbook not converted\n"
        "(failed, cancelled, stopped, or its PDF kept), 2 bad usage.\n");
}

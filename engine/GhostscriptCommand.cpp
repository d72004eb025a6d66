#include "engine/GhostscriptCommand.h"

#include "engine/PdfPassword.h"
#include "options/ConversionOptions.h"
#include "platform/InstallationFolder.h"

#include <QFileInfo>

namespace {

// The command Ghostscript 8 had as ".setpdfwrite"; newer versions dropped it.
const char* const kSetPdfWrite = "/.setpdfwrite where {pop .setpdfwrite} if";

QString Quoted(const QString& arg)
{
    const bool plain = !arg.isEmpty() && !arg.contains(QLatin1Char(' ')) &&
                       !arg.contains(QLatin1Char('"')) && !arg.contains(QLatin1Char('\t'));
    if (plain)
        return arg;
    QString escaped = arg;
    escaped.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QString Absolute(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

QString GhostscriptCommand::ResolveInterpreter()
{
    const QString bundled = InstallationFolder() + QStringLiteral("/gs/bin/gs");
    if (QFileInfo(bundled).isExecutable())
        return bundled;
    return QStringLiteral("gs");
}

QString GhostscriptCommand::CompatibilityLevel(const QString& item)
{
    QString level;
    for (QChar d : {QLatin1Char('3'), QLatin1Char('4'), QLatin1Char('5')}) {
        if (!item.isEmpty() && item.indexOf(d) == 3)
            level = QStringLiteral("1.") + d;
    }
    return level;
}

QString GhostscriptCommand::EffectiveLevel(const ConversionOptions& options)
{
    // PDF/A-2 is built on PDF 1.7, whatever version the list holds.
    if (options.m_bPdfA)
        return QStringLiteral("1.7");
    const QString level = CompatibilityLevel(options.m_strPdfVersion);
    const bool highEncryption = options.SecurityApplies() && options.m_nEncryptionLevel == 1;
    if (highEncryption && level == QLatin1String("1.3"))
        return QStringLiteral("1.4");
    return level;
}

bool GhostscriptCommand::WithoutTransparency(const ConversionOptions& options)
{
    return EffectiveLevel(options) == QLatin1String("1.3");
}

int GhostscriptCommand::Permissions(const ConversionOptions& o, int encryptionLevel)
{
    // Each checked box clears the permission bits of its action from "everything
    // allowed" (-4). Revision 2 has one bit per action. Revision 3 splits them:
    // printing also has its high-quality bit, changing its assembly bit, and forms
    // their annotation and fill-in bits; extraction for accessibility stays allowed.
    const bool high = encryptionLevel == 1;
    int denied = 0;
    if (o.m_bCopyExtract)
        denied |= 0x10;
    if (o.m_bFormFill)
        denied |= high ? 0x20 | 0x100 : 0x20;
    if (o.m_bChangeDoc)
        denied |= high ? 0x08 | 0x400 : 0x08;
    if (o.m_bPrinting)
        denied |= high ? 0x04 | 0x800 : 0x04;
    return -4 & ~denied;
}

QStringList GhostscriptCommand::SecurityArguments(const ConversionOptions& o)
{
    if (!o.SecurityApplies())
        return {};
    // Hex strings carry the PDFDocEncoding bytes exactly: no quoting rule can
    // alter them, and Ghostscript would re-encode other bytes as UTF-8.
    QStringList args{QStringLiteral("-dOwnerPassword=") + PdfPassword::HexString(o.m_strOwnerPassword)};
    if (o.m_bUserPassword)
        args << QStringLiteral("-dUserPassword=") + PdfPassword::HexString(o.m_strUserPassword);
    if (o.m_nEncryptionLevel == 0)
        args << QStringLiteral("-dEncryptionR=2") << QStringLiteral("-dKeyLength=40");
    else if (o.m_nEncryptionLevel == 1)
        args << QStringLiteral("-dEncryptionR=3") << QStringLiteral("-dKeyLength=128");
    if (o.m_nEncryptionLevel == 0 || o.m_nEncryptionLevel == 1)
        args << QStringLiteral("-dPermissions=%1").arg(Permissions(o, o.m_nEncryptionLevel));
    return args;
}

QString GhostscriptCommand::CheckPasswords(const ConversionOptions& o)
{
    if (!o.SecurityApplies())
        return QString();
    QString reason = PdfPassword::CheckPassword(o.m_strOwnerPassword, QStringLiteral("owner"));
    if (reason.isEmpty() && o.m_bUserPassword)
        reason = PdfPassword::CheckPassword(o.m_strUserPassword, QStringLiteral("user"));
    return reason;
}

QString GhostscriptCommand::ArgumentFileText(const ConversionOptions& options)
{
    const QStringList args = SecurityArguments(options);
    return args.isEmpty() ? QString() : args.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString GhostscriptCommand::EscapeOutputName(const QString& path)
{
    QString escaped = path;
    return escaped.replace(QLatin1Char('%'), QLatin1String("%%"));
}

GhostscriptCommand GhostscriptCommand::Start(const ConversionOptions& options,
                                             const GhostscriptFiles& files)
{
    GhostscriptCommand c;
    c.m_strProgram = files.interpreter.isEmpty() ? ResolveInterpreter() : files.interpreter;
    QStringList& a = c.m_lstArguments;
    a << QStringLiteral("-dSAFER") << QStringLiteral("-dNOPAUSE") << QStringLiteral("-dBATCH")
      << QStringLiteral("-sDEVICE=pdfwrite");
    // Ghostscript 10.0's new PDF reader loses the Unicode of ligature glyphs
    // ("fi" becomes a CJK character), so print files with such glyphs go through
    // the older reader, which keeps every word searchable.
    if (files.olderReader)
        a << QStringLiteral("-dNEWPDF=false");
    const QString level = EffectiveLevel(options);
    if (!level.isEmpty())
        a << QStringLiteral("-dCompatibilityLevel=") + level;
    // PDF 1.3 has no transparency: Ghostscript would make each page that uses
    // it one picture of the whole page (720 dpi, its text no longer text).
    // Read without it, see-through things are drawn opaque and the text stays.
    if (WithoutTransparency(options))
        a << QStringLiteral("-dNOTRANSPARENCY");
    // Archival output: colours in sRGB, what PDF/A cannot hold left out (the file stays PDF/A).
    if (options.m_bPdfA)
        a << QStringLiteral("-dPDFA=2") << QStringLiteral("-dPDFACompatibilityPolicy=1")
          << QStringLiteral("-sColorConversionStrategy=RGB");
    if (options.SecurityApplies())
        a << QLatin1Char('@') + Absolute(files.argumentFile);
    a << QStringLiteral("-sOutputFile=") + EscapeOutputName(files.outputFile);
    return c;
}

GhostscriptCommand GhostscriptCommand::Build(const ConversionOptions& options,
                                             const GhostscriptFiles& files)
{
    GhostscriptCommand c = Start(options, files);
    QStringList& a = c.m_lstArguments;
    a << QStringLiteral("-c") << QLatin1String(kSetPdfWrite) << QStringLiteral("-f");
    // The distiller parameters act only on pages read after them; the document
    // information must come after the pages, or the print files' own title wins.
    // So the pdfmarks file is read before the pages and again after them.
    a << Absolute(files.pdfmarksFile);
    for (const QString& input : files.inputFiles)
        a << Absolute(input);
    a << Absolute(files.pdfmarksFile);
    return c;
}

GhostscriptCommand GhostscriptCommand::BuildServer(const ConversionOptions& options, const GhostscriptFiles& files,
                                                   const QString& readFolder, const QString& writeFolder)
{
    GhostscriptCommand c = Start(options, files);
    QStringList& a = c.m_lstArguments;
    // The permissions come before the output file's switch to the first job.
    a.insert(a.size() - 1, QStringLiteral("--permit-file-read=") + Absolute(readFolder) + QLatin1Char('/'));
    a.insert(a.size() - 1, QStringLiteral("--permit-file-write=") + Absolute(writeFolder) + QLatin1Char('/'));
    // Standard input is read a line at a time, each line run as it comes: read
    // as a file it would be taken in only once a whole buffer had arrived.
    a << QStringLiteral("-c") << QLatin1String(kSetPdfWrite)
      << QStringLiteral("{ (%stdin) (r) file 65535 string readline { cvx exec } { pop exit } ifelse } loop");
    return c;
}

QString GhostscriptCommand::Render() const
{
    QStringList parts{Quoted(m_strProgram)};
    for (const QString& arg : m_lstArguments)
        parts << Quoted(arg);
    return parts.join(QLatin1Char(' '));
}

GhostscriptCommand BuildGhostscriptCommand(const ConversionOptions& options,
                                           const GhostscriptFiles& files)
{
    return GhostscriptCommand::Build(options, files);
}

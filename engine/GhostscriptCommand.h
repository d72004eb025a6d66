#pragma once

#include <QString>
#include <QStringList>

struct ConversionOptions;

// Files one Ghostscript run reads and writes.
struct GhostscriptFiles {
    QString interpreter;     // program to start (see GhostscriptCommand::ResolveInterpreter)
    QString outputFile;      // the PDF Ghostscript writes
    QStringList inputFiles;  // print files in sheet order
    QString pdfmarksFile;    // document information and distiller parameters
    QString argumentFile;    // security arguments (passed as @file; unused when security is off)
    bool olderReader = true; // read the inputs with the older PDF reader (see ToUnicodeCheck)
};

// The argument list of one Ghostscript run. Passwords never appear in it: they
// travel in the argument file, readable only by the user.
class GhostscriptCommand {
public:
    // gs/bin/gs in the program's installation folder when present, else "gs" (found on PATH).
    static QString ResolveInterpreter();
    // "1.3", "1.4" or "1.5" from the "PDF Version" item text; empty for other texts.
    static QString CompatibilityLevel(const QString& pdfVersionItem);
    // The level to ask for: 128-bit RC4 needs at least 1.4.
    static QString EffectiveLevel(const ConversionOptions& options);
    // True when the level is 1.3: Ghostscript then reads the print files
    // without transparency, and their soft-masked images are rewritten first (see SoftMaskImages).
    static bool WithoutTransparency(const ConversionOptions& options);
    // Permissions value for an encryption level (0: 40-bit, 1: 128-bit).
    static int Permissions(const ConversionOptions& options, int encryptionLevel);
    // The security arguments, one per entry; empty when security does not apply.
    static QStringList SecurityArguments(const ConversionOptions& options);
    // Empty when the passwords can be used, else the reason for the user.
    static QString CheckPasswords(const ConversionOptions& options);
    // Text of the argument file: the security arguments, one per line.
    static QString ArgumentFileText(const ConversionOptions& options);
    // "%" is a page-number template in Ghostscript's output name: doubled to stay literal.
    static QString EscapeOutputName(const QString& path);

    static GhostscriptCommand Build(const ConversionOptions& options, const GhostscriptFiles& files);
    // A Ghostscript that takes one job after another on its standard input
    // (outputFile: where it writes before the first job). It may read files
    // only below readFolder and write only below writeFolder (absolute paths).
    static GhostscriptCommand BuildServer(const ConversionOptions& options, const GhostscriptFiles& files,
                                          const QString& readFolder, const QString& writeFolder);

    QString Program() const { return m_strProgram; }
    QStringList Arguments() const { return m_lstArguments; }
    // One readable line: program and arguments, those with blanks or quotes in double quotes.
    QString Render() const;

private:
    // What precedes the files: device, reader, compatibility level, security.
    static GhostscriptCommand Start(const ConversionOptions& options, const GhostscriptFiles& files);

    QString m_strProgram;
    QStringList m_lstArguments;
};

// The command for one workbook (the step of the conversion that composes it).
GhostscriptCommand BuildGhostscriptCommand(const ConversionOptions& options,
                                           const GhostscriptFiles& files);

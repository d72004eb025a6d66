#include "platform/PrinterQueue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cups/cups.h>

#include <cstring>
#include <memory>

namespace {

// A scheduler that is not running refuses at once; these bound a host that does
// not answer the connection, and one that takes it but never replies.
constexpr int kConnectTimeoutMs = 1500;
constexpr double kQueryTimeoutSeconds = 3.0;
constexpr double kAdminTimeoutSeconds = 10.0;

struct HttpCloser {
    void operator()(http_t* http) const { httpClose(http); }
};
using Connection = std::unique_ptr<http_t, HttpCloser>;

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppMessage = std::unique_ptr<ipp_t, IppDeleter>;

// CUPS queue names: printable, no blanks, none of / \ ? ' " #, at most 127 bytes.
// A name outside these cannot exist, and must not reach a request URI.
bool IsQueueName(const QByteArray& name)
{
    if (name.isEmpty() || name.size() > 127)
        return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= ' ' || u == 0x7f || QByteArray("/\\?'\"#").contains(c))
            return false;
    }
    return true;
}

Connection Connect(double ioTimeoutSeconds)
{
    // cupsServer() first: it may set the port from "host:port" in CUPS_SERVER.
    const char* server = cupsServer();
    const int port = ippPort();
    Connection http(httpConnect2(server, port, nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                 kConnectTimeoutMs, nullptr));
    if (http)
        httpSetTimeout(http.get(), ioTimeoutSeconds, nullptr, nullptr);
    return http;
}

IppMessage NewRequest(ipp_op_t operation, const QByteArray& name)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost",
                     ippPort(), "/printers/%s", name.constData());
    IppMessage request(ippNewRequest(operation));
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name",
                 nullptr, cupsUser());
    return request;
}

bool IsRefusal(ipp_status_t status)
{
    return status == IPP_STATUS_ERROR_FORBIDDEN || status == IPP_STATUS_ERROR_NOT_AUTHORIZED
        || status == IPP_STATUS_ERROR_NOT_AUTHENTICATED
        || status == IPP_STATUS_ERROR_CUPS_AUTHENTICATION_CANCELED;
}

// The scheduler's answer to one request; no answer at all counts as the service
// being unavailable, with the reason libcups saw.
struct Answer {
    ipp_status_t status = IPP_STATUS_ERROR_SERVICE_UNAVAILABLE;
    QString reason;
};

Answer Send(http_t* http, IppMessage request, const char* resource)
{
    IppMessage response(cupsDoRequest(http, request.release(), resource));
    Answer answer;
    if (response)
        answer.status = ippGetStatusCode(response.get());
    else if (IsRefusal(cupsLastError())) // refused before any IPP answer (HTTP 401/403)
        answer.status = cupsLastError();
    if (response && answer.status <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return answer;
    // A broken connection leaves only errno; CUPS' own text would read "Success".
    const int socketError = httpError(http);
    answer.reason = socketError ? QString::fromLocal8Bit(std::strerror(socketError))
                                : QString::fromUtf8(cupsLastErrorString());
    return answer;
}

// Never ask for a password on a terminal: a refusal is reported instead.
const char* NoPassword(const char*, http_t*, const char*, const char*, void*)
{
    return nullptr;
}

QString Quoted(const QString& name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString ShellWord(const QString& path)
{
    if (!path.contains(QLatin1Char(' ')) && !path.contains(QLatin1Char('\'')))
        return path;
    QString quoted = path;
    quoted.replace(QLatin1String("'"), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString NoServiceMessage(const QString& name, const QString& what)
{
    return QStringLiteral("The printing service (CUPS) is not running, so the printer queue %1 "
                          "cannot be %2. Start it with: sudo service cups start")
        .arg(Quoted(name), what);
}

QString MissingMessage(const QString& name)
{
    return QStringLiteral("The printer queue %1 is not installed. Install it with: sudo %2")
        .arg(Quoted(name), ShellWord(CPrinterQueue::InstallScriptPath()));
}

QString NothingToDeleteMessage(const QString& name)
{
    return QStringLiteral("The printer queue %1 is not installed; nothing to delete.").arg(Quoted(name));
}

CPrinterQueue::State AskForQueue(http_t* http, const QString& name, QString* text)
{
    IppMessage request = NewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, name.toUtf8());
    ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                 nullptr, "printer-name");
    const Answer answer = Send(http, std::move(request), "/");
    if (answer.status == IPP_STATUS_ERROR_NOT_FOUND) {
        *text = MissingMessage(name);
        return CPrinterQueue::Missing;
    }
    if (answer.status > IPP_STATUS_OK_EVENTS_COMPLETE) {
        *text = QStringLiteral("The printing service (CUPS) did not tell whether the printer queue %1 "
                               "is installed (%2); restart it with: sudo service cups restart")
                    .arg(Quoted(name), answer.reason);
        return CPrinterQueue::NoService;
    }
    return CPrinterQueue::Ready;
}

bool DeleteQueue(http_t* http, const QString& name, QString* text)
{
    cupsSetPasswordCB2(NoPassword, nullptr);
    const Answer answer = Send(http, NewRequest(IPP_OP_CUPS_DELETE_PRINTER, name.toUtf8()), "/admin/");
    cupsSetPasswordCB2(nullptr, nullptr);
    if (answer.status <= IPP_STATUS_OK_EVENTS_COMPLETE) {
        *text = QStringLiteral("The printer queue %1 was deleted.").arg(Quoted(name));
        return true;
    }
    if (answer.status == IPP_STATUS_ERROR_NOT_FOUND) {
        *text = NothingToDeleteMessage(name);
        return true;
    }
    if (IsRefusal(answer.status))
        *text = QStringLiteral("Deleting the printer queue %1 needs administrator rights: run this "
                               "program with sudo.").arg(Quoted(name));
    else
        *text = QStringLiteral("The printing service (CUPS) could not delete the printer queue %1 (%2).")
                    .arg(Quoted(name), answer.reason);
    return false;
}

} // namespace

CPrinterQueue::State CPrinterQueue::Check(const QString& name, QString* message)
{
    QString text;
    State state = Missing;
    if (!IsQueueName(name.toUtf8())) {
        text = MissingMessage(name);
    } else if (Connection http = Connect(kQueryTimeoutSeconds); !http) {
        state = NoService;
        text = NoServiceMessage(name, QStringLiteral("used"));
    } else {
        state = AskForQueue(http.get(), name, &text);
    }
    if (message)
        *message = text;
    return state;
}

bool CPrinterQueue::Delete(const QString& name, QString* message)
{
    QString text;
    bool ok = true;
    if (!IsQueueName(name.toUtf8())) {
        text = NothingToDeleteMessage(name);
    } else if (Connection http = Connect(kAdminTimeoutSeconds); !http) {
        ok = false;
        text = NoServiceMessage(name, QStringLiteral("deleted"));
    } else {
        ok = DeleteQueue(http.get(), name, &text);
    }
    if (message)
        *message = text;
    return ok;
}

QString CPrinterQueue::InstallScriptPath()
{
    const QString script = QString::fromLatin1(kInstallScript);
    const QString inProject = QStringLiteral("setup/printer/") + script;
    if (!QCoreApplication::instance())
        return inProject;
    QDir dir(QCoreApplication::applicationDirPath());
    // Installed: beside the program. Built in the project: a few folders above it.
    for (int level = 0; level < 6; ++level) {
        for (const QString& candidate : {dir.filePath(script), dir.filePath(inProject)}) {
            if (QFileInfo(candidate).isExecutable())
                return QDir::cleanPath(candidate);
        }
        if (!dir.cdUp())
            break;
    }
    return inProject;
}

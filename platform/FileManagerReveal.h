#pragma once

#include <QString>

#include <functional>

// Shows a file selected in the desktop's file manager: the FileManager1 service
// on the session bus is asked to show the item (org.freedesktop.FileManager1
// ShowItems). When the file is missing, there is no bus, no such service, or
// the service answers with an error, the file's folder is opened with xdg-open
// instead.
//
// Window thread only. The caller never waits: connecting to the bus happens on
// a short-lived thread of its own, the call is asynchronous and its answer is
// handled by the window thread's event loop; xdg-open is started, not awaited.
class CFileManagerReveal {
public:
    enum class Outcome {
        Shown,         // the file manager accepted the request
        FolderOpened,  // xdg-open was started with the folder
        NothingOpened, // xdg-open could not be started either
    };
    // Told on the window thread once the request has been dealt with.
    using Done = std::function<void(Outcome)>;

    static constexpr const char* kService = "org.freedesktop.FileManager1";
    static constexpr const char* kObjectPath = "/org/freedesktop/FileManager1";
    static constexpr const char* kInterface = "org.freedesktop.FileManager1";

    // Shows filePath selected in its folder. done (optional) learns the outcome.
    static void ShowItem(const QString& filePath, Done done = {});

    // The address of the bus to ask; empty (the default) is the session bus.
    // For tests that run a private bus of their own.
    static void SetBusAddress(const QString& address);
    static QString BusAddress();

    // The URI the file manager is given: file://, absolute, percent-encoded.
    static QString FileUri(const QString& filePath);
    // The folder opened instead: the path up to and including its last '/'.
    static QString FolderOf(const QString& filePath);
};

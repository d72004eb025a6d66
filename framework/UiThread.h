#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThread>

#include <optional>
#include <type_traits>
#include <utility>

// Widgets live on the window thread. The conversion worker reaches them through
// these helpers: a call made on the window thread runs at once, a call from another
// thread is carried over to the window thread.

// True on the thread that runs the windows (or before the application exists).
inline bool IsUiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

// Runs fn on the window thread and waits for its result. The window thread must
// not itself be waiting for the caller, or both wait for ever.
template <class F>
auto RunOnUiThread(F&& fn) -> std::invoke_result_t<F&>
{
    using Result = std::invoke_result_t<F&>;
    if (IsUiThread())
        return fn();
    QCoreApplication* app = QCoreApplication::instance();
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(app, [&fn] { fn(); }, Qt::BlockingQueuedConnection);
    } else {
        std::optional<Result> result;
        QMetaObject::invokeMethod(app, [&] { result.emplace(fn()); }, Qt::BlockingQueuedConnection);
        return std::move(*result);
    }
}

// Runs fn on the thread of target: at once when called there, otherwise queued
// without waiting (calls queued this way keep their order). Dropped when target
// is gone before its turn.
template <class F>
void RunOnObjectThread(QObject* target, F&& fn)
{
    if (!target)
        return;
    if (QThread::currentThread() == target->thread())
        fn();
    else
        QMetaObject::invokeMethod(target, std::forward<F>(fn), Qt::QueuedConnection);
}

// Runs fn on the thread of target and waits for its result.
template <class F>
auto CallOnObjectThread(QObject* target, F&& fn) -> std::invoke_result_t<F&>
{
    using Result = std::invoke_result_t<F&>;
    if (QThread::currentThread() == target->thread())
        return fn();
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(target, [&fn] { fn(); }, Qt::BlockingQueuedConnection);
    } else {
        std::optional<Result> result;
        QMetaObject::invokeMethod(target, [&] { result.emplace(fn()); }, Qt::BlockingQueuedConnection);
        return result ? std::move(*result) : Result();
    }
}

#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThread>

#include <condition_variable>
#include <memory>
#include <mutex>
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

namespace uithread_detail {
// The caller's side of a call queued to another thread: done once the call has
// run, or was dropped with its target. A plain mutex and condition variable,
// so that tools that check threads see the hand-over of the result.
class QueuedCall {
public:
    void Done()
    {
        std::lock_guard lock(m_mutex);
        m_bDone = true;
        m_cv.notify_all();
    }
    void Wait()
    {
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [this] { return m_bDone; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bDone = false;
};
} // namespace uithread_detail

// Runs fn on the thread of target and waits for its result (a default result
// when target is gone before the call's turn).
template <class F>
auto CallOnObjectThread(QObject* target, F&& fn) -> std::invoke_result_t<F&>
{
    using Result = std::invoke_result_t<F&>;
    if (QThread::currentThread() == target->thread())
        return fn();
    auto call = std::make_shared<uithread_detail::QueuedCall>();
    // Every copy of the queued functor shares this; the last one to go (after
    // the call ran, or when it was dropped) ends the wait.
    std::shared_ptr<void> done(nullptr, [call](void*) { call->Done(); });
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(target, [done, &fn] { fn(); }, Qt::QueuedConnection);
        done.reset();
        call->Wait();
    } else {
        std::optional<Result> result;
        QMetaObject::invokeMethod(target, [done, &fn, &result] { result.emplace(fn()); }, Qt::QueuedConnection);
        done.reset();
        call->Wait();
        return result ? std::move(*result) : Result();
    }
}

// Runs fn on the window thread and waits for its result. The window thread must
// not itself be waiting for the caller, or both wait for ever.
template <class F>
auto RunOnUiThread(F&& fn) -> std::invoke_result_t<F&>
{
    if (IsUiThread())
        return fn();
    return CallOnObjectThread(QCoreApplication::instance(), std::forward<F>(fn));
}

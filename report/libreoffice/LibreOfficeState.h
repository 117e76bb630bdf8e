#pragma once

// What the LibreOffice backend and its test probe share: the state its worker thread owns,
// and the few conversions and searches both make. Only for report/libreoffice: it needs
// the UNO headers generated for the backend.

#include "report/libreoffice/LibreOfficeWordProcessor.h"

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/text/XTextViewCursor.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <rtl/ustring.hxx>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace css = com::sun::star;
using css::uno::Reference;
using rtl::OUString;

OUString Unicode(std::string_view text);
std::string Utf8(const OUString &text);

// The first occurrence of `search` after `from` (from the top where `from` is empty), or
// nothing.
Reference<css::text::XTextRange> FindAfter(const Reference<css::lang::XComponent> &document,
                                           const Reference<css::text::XTextRange> &from,
                                           const OUString &search);

// What the worker thread owns. The UNO references are touched only on that thread; the
// thread holds the state too, so a call that never returns keeps it alive on its own.
struct LibreOfficeWordProcessor::State {
    Reference<css::uno::XComponentContext> context; // the office's
    Reference<css::frame::XDesktop2> desktop;
    Reference<css::lang::XComponent> document;
    Reference<css::text::XTextViewCursor> viewCursor;

    std::chrono::milliseconds callDeadline{20000};
    qint64 processId = 0;

    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::function<void()>> tasks;
    bool stopping = false;
    std::atomic<bool> unresponsive{false};
    std::thread worker;

    void loop()
    {
        for (;;) {
            std::function<void()> task;
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [this] { return stopping || !tasks.empty(); });
                if (tasks.empty()) return;
                task = std::move(tasks.front());
                tasks.pop_front();
            }
            task();
        }
    }

    // Runs `call` on the worker and waits for it no longer than `deadline`. Whatever the
    // call throws, UNO's exceptions and the bootstrap's included, is a false.
    bool run(const std::function<bool()> &call, std::chrono::milliseconds deadline)
    {
        if (unresponsive) return false;
        auto task = std::make_shared<std::packaged_task<bool()>>([call] {
            try {
                return call();
            } catch (...) {
                return false;
            }
        });
        std::future<bool> result = task->get_future();
        {
            std::lock_guard lock(mutex);
            tasks.emplace_back([task] { (*task)(); });
        }
        wake.notify_one();
        if (result.wait_for(deadline) != std::future_status::ready) {
            unresponsive = true; // the office hangs: nothing more is asked of it
            return false;
        }
        return result.get();
    }

    bool run(const std::function<bool()> &call) { return run(call, callDeadline); }
};

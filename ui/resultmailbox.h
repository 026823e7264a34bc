// SPDX-License-Identifier: GPL-3.0-or-later
// Brings the result of work that cannot be cancelled back to a QObject's thread, or drops it.
#pragma once

#include <QMetaObject>
#include <QObject>

#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace parvex {

// The owner closes the box when it goes (its destructor); a result posted after that is
// dropped. Posting holds the box's lock, so that the receiver cannot go between the check and
// the post: the owner never waits for the work itself, only for a post in progress.
class ResultMailbox
{
public:
    explicit ResultMailbox(QObject* receiver)
        : m_receiver(receiver)
    { }

    void close()
    {
        const std::lock_guard lock(m_mutex);
        m_receiver = nullptr;
    }

    // Runs `deliver` on the receiver's thread, if it is still there.
    void post(std::function<void()> deliver)
    {
        const std::lock_guard lock(m_mutex);
        if (m_receiver)
            QMetaObject::invokeMethod(m_receiver, std::move(deliver), Qt::QueuedConnection);
    }

    // Runs `work` on a thread of its own and posts `deliver(result)`. The thread is detached:
    // a closed box lets it finish unseen.
    template<class Work, class Deliver>
    static void run(std::shared_ptr<ResultMailbox> box, Work work, Deliver deliver)
    {
        std::thread([box = std::move(box), work = std::move(work),
                        deliver = std::move(deliver)]() mutable {
            auto result = work();
            box->post([deliver = std::move(deliver), result = std::move(result)]() mutable {
                deliver(std::move(result));
            });
        }).detach();
    }

private:
    std::mutex m_mutex;
    QObject* m_receiver;
};

} // namespace parvex

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>

class QThread;

// The thread that writes and removes recovery files, so that the window's thread never
// waits on the disk. Jobs run one at a time, in the order they were posted.
class RecoveryWriter {
public:
    RecoveryWriter();
    // Finishes every job posted, then ends the thread.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    // Runs `job` on the writing thread after the jobs posted before it.
    void post(std::function<void()> job);
    // Jobs posted and not yet finished.
    int pending() const { return pending_->load(); }
    // Waits until every job posted is finished.
    void waitForWrites() const;

private:
    QThread* thread_ = nullptr;
    QObject* context_ = nullptr; // lives on the writing thread
    std::shared_ptr<std::atomic<int>> pending_;
};

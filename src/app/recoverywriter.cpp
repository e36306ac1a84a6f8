// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recoverywriter.h"

#include <QThread>

RecoveryWriter::RecoveryWriter() : pending_(std::make_shared<std::atomic<int>>(0)) {
    thread_ = new QThread;
    thread_->setObjectName(QStringLiteral("recovery writer"));
    context_ = new QObject;
    context_->moveToThread(thread_);
    thread_->start(QThread::LowPriority);
}

RecoveryWriter::~RecoveryWriter() {
    waitForWrites();
    thread_->quit();
    thread_->wait();
    delete context_;
    delete thread_;
}

void RecoveryWriter::post(std::function<void()> job) {
    pending_->fetch_add(1);
    auto pending = pending_;
    QMetaObject::invokeMethod(
        context_,
        [job = std::move(job), pending] {
            job();
            pending->fetch_sub(1);
        },
        Qt::QueuedConnection);
}

void RecoveryWriter::waitForWrites() const {
    while (pending_->load() > 0)
        QThread::msleep(2);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <grp.h>
#include <optional>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Another local user, for the tests of what must stay closed to strangers (files made
// while saving, recovery files). Switching users needs root: elsewhere such a test is
// skipped with GTEST_SKIP() << kNoOtherUser.

struct OtherUser {
    uid_t uid;
    gid_t gid;
};

inline const char* const kNoOtherUser =
    "needs root, to act as the unprivileged user 'nobody' (run the tests as root)";

// The user "nobody" when this process may become it (it runs as root); else nothing.
inline std::optional<OtherUser> otherUser() {
    if (::geteuid() != 0)
        return std::nullopt;
    const passwd* pw = ::getpwnam("nobody");
    if (!pw || pw->pw_uid == 0)
        return std::nullopt;
    return OtherUser{pw->pw_uid, pw->pw_gid};
}

// For its scope the whole process acts as `user`: effective user and group and no
// supplementary groups. The real user stays root, so that everything comes back after.
class ActingAs {
public:
    explicit ActingAs(const OtherUser& user) {
        groups_.resize(size_t(::getgroups(0, nullptr)));
        if (::getgroups(int(groups_.size()), groups_.data()) < 0)
            groups_.clear();
        ok_ = ::setgroups(0, nullptr) == 0 && ::setegid(user.gid) == 0 && ::seteuid(user.uid) == 0;
    }
    ~ActingAs() {
        if (::seteuid(0) != 0 || ::setegid(0) != 0 ||
            ::setgroups(groups_.size(), groups_.data()) != 0)
            ADD_FAILURE() << "could not become root again";
    }
    bool ok() const { return ok_; }

private:
    std::vector<gid_t> groups_;
    bool ok_ = false;
};

// A child process running as `user` beside the test. The body runs in the child: it calls
// ready() once it is set up, may watch stopRequested() (a descriptor that becomes readable
// when the test is done), and its return value is the child's exit status. The test
// process may have threads, so the body keeps to plain system calls.
class ChildAs {
public:
    struct Channel {
        int readyFd;
        int stopFd;
        void ready() const {
            const char c = 'r';
            (void)!::write(readyFd, &c, 1);
        }
        // True once the test asked the child to end.
        bool stopRequested(int waitMs = 0) const {
            pollfd p{stopFd, POLLIN, 0};
            return ::poll(&p, 1, waitMs) > 0;
        }
    };

    ChildAs(const OtherUser& user, const std::function<int(const Channel&)>& body) {
        int ready[2], stop[2];
        if (::pipe(ready) != 0 || ::pipe(stop) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(stop[1]);
            if (::setgroups(0, nullptr) != 0 || ::setgid(user.gid) != 0 || ::setuid(user.uid) != 0)
                ::_exit(100);
            ::_exit(body(Channel{ready[1], stop[0]}));
        }
        ::close(ready[1]);
        ::close(stop[0]);
        readyFd_ = ready[0];
        stopFd_ = stop[1];
    }
    ~ChildAs() {
        if (pid_ > 0 && status_ < 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        closeFds();
    }

    // Waits until the child is set up; false when it ended or did not answer in time.
    bool waitReady(int ms = 10000) const {
        pollfd p{readyFd_, POLLIN, 0};
        char c = 0;
        return pid_ > 0 && ::poll(&p, 1, ms) > 0 && ::read(readyFd_, &c, 1) == 1;
    }
    // Asks the child to end and returns its exit status (-1 when it had to be killed).
    int finish(int ms = 10000) {
        if (pid_ <= 0)
            return -1;
        closeFds();
        int status = 0;
        for (int waited = 0; waited < ms; waited += 10) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
                return status_;
            }
            ::usleep(10000);
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        status_ = -1;
        return status_;
    }

private:
    void closeFds() {
        if (readyFd_ >= 0)
            ::close(readyFd_);
        if (stopFd_ >= 0)
            ::close(stopFd_);
        readyFd_ = stopFd_ = -1;
    }

    pid_t pid_ = -1;
    int readyFd_ = -1;
    int stopFd_ = -1;
    int status_ = -1;
};

#pragma once
// Runs a piece of a test in a child process of its own: to hold a lock the operating system must
// drop when the child is killed, or to act as a user whom file permissions bind (the tests often
// run as the super-user, whom they do not). The child hands back a status and a line of text.
#include <csignal>
#include <functional>
#include <grp.h>
#include <QByteArray>
#include <QString>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

struct ChildResult {
    int status = -1; // the body's status; -1 when the child did not end normally
    QString text;
};

// A child running `body`; `text` is what it wrote to the pipe it is handed.
class Child {
public:
    // Starts the child; with `unprivileged`, as the user and group nobody when we are the super-user.
    Child(const std::function<int(int pipe)>& body, bool unprivileged = false) {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            if (unprivileged && ::geteuid() == 0 &&
                (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(125);
            const int status = body(fds[1]);
            ::close(fds[1]);
            ::_exit(status);
        }
        ::close(fds[1]);
        pipe_ = fds[0];
    }
    ~Child() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            wait();
        }
        if (pipe_ >= 0)
            ::close(pipe_);
    }
    // Reads one line the child wrote (blocking until it does, or until it ends).
    QString readLine() {
        QByteArray line;
        char c;
        while (pipe_ >= 0 && ::read(pipe_, &c, 1) == 1 && c != '\n')
            line += c;
        return QString::fromUtf8(line);
    }
    void kill() {
        if (pid_ > 0)
            ::kill(pid_, SIGKILL);
    }
    // Waits for the child to end; its status and everything it wrote.
    ChildResult wait() {
        ChildResult result;
        QByteArray text;
        char buffer[4096];
        ssize_t n;
        while (pipe_ >= 0 && (n = ::read(pipe_, buffer, sizeof buffer)) > 0)
            text.append(buffer, n);
        int status = 0;
        if (pid_ > 0 && ::waitpid(pid_, &status, 0) == pid_ && WIFEXITED(status))
            result.status = WEXITSTATUS(status);
        pid_ = -1;
        result.text = QString::fromUtf8(text);
        return result;
    }

    // Writes a line for the parent to read.
    static void say(int pipe, const QString& line) {
        const QByteArray bytes = line.toUtf8() + '\n';
        [[maybe_unused]] const ssize_t written = ::write(pipe, bytes.constData(), size_t(bytes.size()));
    }

private:
    pid_t pid_ = -1;
    int pipe_ = -1;
};

// Runs `body` as a user file permissions bind and waits for it.
inline ChildResult runUnprivileged(const std::function<int(int pipe)>& body) {
    return Child(body, true).wait();
}

} // namespace testsupport

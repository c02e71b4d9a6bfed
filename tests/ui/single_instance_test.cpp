// One program per user: the second start is refused while the first runs, and a program
// that died, even by kill -9, never keeps the next one out.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/ui/single_instance.h"

using namespace vexil;

TEST(SingleInstance, OneAtATimeAndNoneLeftByAProgramThatDied) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        SingleInstance first(dir.path());
        ASSERT_TRUE(first.acquire());
        EXPECT_TRUE(first.acquire());  // asked again, it still holds it
        SingleInstance second(dir.path());
        EXPECT_FALSE(second.acquire());
    }
    // A program that takes the lock and is killed: the lock goes with it. The child of this
    // threaded process may only make system calls (a lock another thread held at the fork
    // would stay held in it), so it takes the lock as the program does, on the same file.
    const QByteArray lockFile = QFile::encodeName(SingleInstance(dir.path()).lockPath());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = ::open(lockFile.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0) _exit(1);  // waits while the parent probes
        pause();
        _exit(0);
    }
    bool childHolds = false;
    for (int i = 0; i < 400 && !childHolds; ++i) {
        SingleInstance probe(dir.path());
        childHolds = !probe.acquire();
        if (!childHolds) usleep(5000);
    }
    EXPECT_TRUE(childHolds) << "the child never took the lock";
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    SingleInstance next(dir.path());
    EXPECT_TRUE(next.acquire());
}

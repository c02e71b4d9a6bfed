// One program per user: the second start is refused while the first runs, and a program
// that died, even by kill -9, never keeps the next one out.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <csignal>
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
    // A program that takes the lock and is killed: the lock goes with it.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SingleInstance held(dir.path());
        while (!held.acquire()) usleep(1000);  // the parent may be probing just then
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

#pragma once

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

// Runs `child` in a forked process and kills it at a random moment, `rounds`
// times. The child writes an int to the given descriptor after each piece of
// work it finished and never returns. After each kill, `check(confirmed)` gets
// the largest number reported so far and returns what it found on disk, which
// must never be less; that becomes the number to beat. A round that found no
// new work doubles the longest wait, so a slow or busy machine still kills
// the child in the middle of its work, not only while it starts.
inline void KillAtRandomMoments(int rounds, unsigned seed, int maxMicros,
                                const std::function<void(int)>& child, const std::function<int(int)>& check)
{
#if defined(__SANITIZE_THREAD__)
    maxMicros *= 4;  // a child takes tens of milliseconds to start under ThreadSanitizer
#endif
    std::mt19937 rng(seed);
    int confirmed = 0;
    int longest = maxMicros;
    for (int round = 0; round < rounds; ++round) {
        const int before = confirmed;
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(fds[0]);
            child(fds[1]);
            _exit(5);
        }
        close(fds[1]);
        usleep(std::uniform_int_distribution<int>(5000, longest)(rng));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "child ended by itself: " << WEXITSTATUS(status);
        int done;
        while (read(fds[0], &done, sizeof done) == sizeof done) confirmed = std::max(confirmed, done);
        close(fds[0]);
        const int found = check(confirmed);
        ASSERT_GE(found, confirmed) << "finished work was lost after kill " << round;
        longest = found > before ? maxMicros : std::min(longest * 2, maxMicros * 16);
        confirmed = found;
    }
    EXPECT_GT(confirmed, 0);
}

// Runs the built vornik in a child process with its streams in files.
#include "run_vornik.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

// Names in the temporary folder are made unique to this test process, so
// that test runs side by side do not share files.
std::string TempPath(const std::string& name)
{
    return testing::TempDir() + std::to_string(getpid()) + "_" + name;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

Outcome RunVornik(const std::vector<std::string>& args, int interruptAfterMs,
                  const std::string* stdinText)
{
    const std::string inPath =
        stdinText ? WriteTempFile("vornik_in.txt", *stdinText) : "/dev/null";
    const std::string outPath = TempPath("vornik_out.txt");
    const std::string errPath = TempPath("vornik_err.txt");
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, inPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&files, 2, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(VORNIK_PATH));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    Outcome o;
    pid_t pid;
    if (posix_spawn(&pid, VORNIK_PATH, &files, nullptr, argv.data(), environ) != 0) {
        ADD_FAILURE() << "cannot start " << VORNIK_PATH;
        return o;
    }
    posix_spawn_file_actions_destroy(&files);
    if (interruptAfterMs > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(interruptAfterMs));
        kill(pid, SIGINT);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    o.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    o.out = ReadFile(outPath);
    o.err = ReadFile(errPath);
    return o;
}

std::string WriteTempFile(const std::string& name, const std::string& text)
{
    const std::string path = TempPath(name);
    std::ofstream file(path, std::ios::binary);
    file << text;
    return path;
}

void ExpectRefused(const std::vector<std::string>& args, const std::string& says)
{
    SCOPED_TRACE(says);
    const Outcome o = RunVornik(args);
    EXPECT_EQ(o.status, 2) << o.err;
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err.rfind("vornik: ", 0), 0u) << o.err;
    EXPECT_NE(o.err.find(says), std::string::npos) << o.err;
    EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << o.err;
}

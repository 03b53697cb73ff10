#pragma once

#include <juce_core/juce_core.h>
#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

/** The helper executable, run with its output read through a pipe. */
struct HelperProcess final
{
    explicit HelperProcess (const juce::StringArray& arguments)
    {
        int fds[2] {};

        if (pipe (fds) != 0)
            return;

        pid = fork();

        if (pid == 0)
        {
            dup2 (fds[1], STDOUT_FILENO);
            close (fds[0]);
            close (fds[1]);

            std::vector<std::string> strings { QV_ENGINE_HELPER };
            for (const auto& a : arguments)
                strings.push_back (a.toStdString());

            std::vector<char*> argv;
            for (auto& s : strings)
                argv.push_back (s.data());
            argv.push_back (nullptr);

            execv (argv[0], argv.data());
            _exit (127);
        }

        close (fds[1]);
        output = fds[0];
    }

    ~HelperProcess()
    {
        if (pid > 0 && ! exited)
            kill();

        if (output >= 0)
            close (output);
    }

    /** Reads until the helper says it is about to run the engine. */
    bool waitUntilRunning()
    {
        while (! received.contains ("running\n"))
            if (! readSome())
                return false;

        return true;
    }

    void kill()
    {
        // pid -1 (no child was started) would signal every process this user may signal.
        if (pid > 0)
            ::kill (pid, SIGKILL);

        wait();
    }

    /** Waits for the end; returns the output. */
    juce::String wait()
    {
        while (readSome()) {}

        if (! exited && pid > 0)
            waitpid (pid, &status, 0);

        exited = true;
        return received;
    }

    bool wasKilled() const { return exited && WIFSIGNALED (status) && WTERMSIG (status) == SIGKILL; }
    bool succeeded() const { return exited && WIFEXITED (status) && WEXITSTATUS (status) == 0; }

    pid_t pid = -1;
    int output = -1;
    int status = 0;
    bool exited = false;
    juce::String received;

private:
    bool readSome()
    {
        char buffer[256];
        const auto n = read (output, buffer, sizeof (buffer));

        if (n <= 0)
            return false;

        received += juce::String::fromUTF8 (buffer, (int) n);
        return true;
    }
};

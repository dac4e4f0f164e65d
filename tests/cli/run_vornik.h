// Starts the built vornik as a user would and collects what it wrote.
#pragma once

#include <string>
#include <vector>

struct Outcome {
    int status = -1;
    std::string out, err;
};

// Starts vornik with args; stdinText (when given) is its standard input,
// else /dev/null. When interruptAfterMs is positive, sends SIGINT after
// that many milliseconds.
Outcome RunVornik(const std::vector<std::string>& args, int interruptAfterMs = 0,
                  const std::string* stdinText = nullptr);

// Checks that vornik refuses args as bad input should be refused: exit
// status 2, nothing on stdout, one line on stderr that starts "vornik: "
// and contains says.
void ExpectRefused(const std::vector<std::string>& args, const std::string& says);

std::string ReadFile(const std::string& path);
// A file name in the test's temporary folder, unique to this process.
std::string TempPath(const std::string& name);
// Writes text to a file in the test's temporary folder and returns its path.
std::string WriteTempFile(const std::string& name, const std::string& text);

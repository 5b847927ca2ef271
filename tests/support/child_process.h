// Scenarios run in a child process of the test program: for code that ends
// the process (ExitWithError, the double-start refusal) or that needs the
// library's state fresh, as at a program's start.
#ifndef VEXLO_TESTS_CHILD_PROCESS_H
#define VEXLO_TESTS_CHILD_PROCESS_H

#include <string>

using ChildScenarioFunction = int (*)(const std::string &argument);

struct ChildScenarioRegistration {
    ChildScenarioRegistration(const char *name, ChildScenarioFunction function);
};

// Defines a scenario; its body receives `argument` and returns the exit code.
#define CHILD_SCENARIO(name)                                                        \
    static int name##_scenario(const std::string &argument);                       \
    static ChildScenarioRegistration name##_registration(#name, name##_scenario);   \
    static int name##_scenario([[maybe_unused]] const std::string &argument)

struct ChildResult {
    bool finished;     // false: killed after the time limit
    int exitCode;      // as the process ended (ExitProcess(-1) gives -1)
};

// Runs the scenario in a new process of this program with workDirectory as
// its current directory; waits at most timeoutMs.
ChildResult RunChildScenario(const char *name, const std::string &workDirectory,
                             const std::string &argument = "", unsigned timeoutMs = 60000);

// Called by main: runs the scenario when this process is such a child.
bool RunChildScenarioIfAsked(int argc, char **argv, int *result);

// A fresh, empty directory under the current one; absolute path with a
// trailing backslash.
std::string MakeTestDirectory(const std::string &name);

// The whole file, or "" when it cannot be read.
std::string ReadWholeFile(const std::string &path);
bool FileExists(const std::string &path);

#endif

// Checks for scenarios that run in a child process: each failed check is
// printed and counted, and the scenario returns the count as its exit code.
#ifndef VEXLO_TESTS_CHECKS_H
#define VEXLO_TESTS_CHECKS_H

#include <cstdio>
#include <string>

struct Checks {
    int failures = 0;
    void operator()(bool ok, const std::string &what)
    {
        if (!ok) {
            std::printf("check failed: %s\n", what.c_str());
            ++failures;
        }
    }
};

#endif

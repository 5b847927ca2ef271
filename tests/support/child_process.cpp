#include "child_process.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <map>

namespace {

const char kChildFlag[] = "--vexlo-child=";

std::map<std::string, ChildScenarioFunction> &Scenarios()
{
    static std::map<std::string, ChildScenarioFunction> scenarios;
    return scenarios;
}

} // namespace

ChildScenarioRegistration::ChildScenarioRegistration(const char *name, ChildScenarioFunction function)
{
    Scenarios()[name] = function;
}

bool RunChildScenarioIfAsked(int argc, char **argv, int *result)
{
    if (argc < 2 || std::strncmp(argv[1], kChildFlag, sizeof kChildFlag - 1) != 0) return false;
    auto found = Scenarios().find(argv[1] + sizeof kChildFlag - 1);
    if (found == Scenarios().end()) {
        std::fprintf(stderr, "unknown child scenario %s\n", argv[1]);
        *result = 99;
        return true;
    }
    *result = found->second(argc > 2 ? argv[2] : "");
    return true;
}

ChildResult RunChildScenario(const char *name, const std::string &workDirectory,
                             const std::string &argument, unsigned timeoutMs)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = std::string("\"") + self + "\" " + kChildFlag + name + " \"" + argument + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        workDirectory.c_str(), &startup, &process))
        return {false, 0};
    ChildResult result = {true, 0};
    if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 98);
        WaitForSingleObject(process.hProcess, INFINITE);
        result.finished = false;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.exitCode = static_cast<int>(code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return result;
}

std::string MakeTestDirectory(const std::string &name)
{
    static int counter = 0;
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    std::string path = std::string(current) + "\\" + name + "-" + std::to_string(GetCurrentProcessId()) +
                       "-" + std::to_string(++counter);
    CreateDirectoryA(path.c_str(), nullptr);
    // Leftovers of an earlier run with the same process id are removed.
    DeleteFileA((path + "\\AppLog.txt").c_str());
    return path + "\\";
}

std::string ReadWholeFile(const std::string &path)
{
    std::string data;
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file) return data;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) data.append(buffer, n);
    std::fclose(file);
    return data;
}

bool FileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

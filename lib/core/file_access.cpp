// The file-access table: nine replaceable file operations. The default
// entries read Win32 files.
#include "file_access.h"

#include <windows.h>

namespace {

int DefaultSetDirectory(const char *path)
{
    return SetCurrentDirectoryA(path);
}

int DefaultGetDirectory(char *buffer)
{
    return static_cast<int>(GetCurrentDirectoryA(MAX_PATH, buffer));
}

void *DefaultOpen(const char *, int, int) { return nullptr; }
int DefaultClose(void *) { return -1; }
int DefaultTell(void *) { return -1; }
int DefaultSeek(void *, int, int) { return -1; }
int DefaultRead(void *, int, int, void *) { return 0; }
int DefaultEof(void *) { return 0; }
int DefaultIdle(void *) { return 0; }

const FileAccessFunctions kDefaultFunctions = {
    DefaultOpen, DefaultClose, DefaultTell, DefaultSeek, DefaultRead,
    DefaultEof,  DefaultIdle,  DefaultSetDirectory, DefaultGetDirectory,
};

FileAccessFunctions g_functions = kDefaultFunctions;

} // namespace

extern "C" int SetFileAccessFunctions(const FileAccessFunctions *functions)
{
    g_functions = functions ? *functions : kDefaultFunctions;
    return 0;
}

int IsDefaultFileAccess()
{
    const FileAccessFunctions &f = g_functions, &d = kDefaultFunctions;
    return f.open == d.open && f.close == d.close && f.tell == d.tell && f.seek == d.seek &&
           f.read == d.read && f.eof == d.eof && f.setDirectory == d.setDirectory &&
           f.getDirectory == d.getDirectory;
}

void *FileAccessOpen(const char *fileName, int readAhead, int blocking)
{
    return g_functions.open(fileName, readAhead, blocking);
}
int FileAccessClose(void *file) { return g_functions.close(file); }
int FileAccessTell(void *file) { return g_functions.tell(file); }
int FileAccessSeek(void *file, int offset, int origin) { return g_functions.seek(file, offset, origin); }
int FileAccessRead(void *buffer, int itemSize, int itemCount, void *file)
{
    return g_functions.read(buffer, itemSize, itemCount, file);
}
int FileAccessEof(void *file) { return g_functions.eof(file); }
int FileAccessIdle(void *file) { return g_functions.idle(file); }
int FileAccessSetDir(const char *path) { return g_functions.setDirectory(path); }
int FileAccessGetDir(char *buffer) { return g_functions.getDirectory(buffer); }

void InstallStreamFunctions() {}
void ProcessAsyncReads() {}

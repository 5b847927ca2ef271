// The file-access table: nine replaceable file operations that every file
// read of the library goes through, and the file-stream table over it.
#include "file_access.h"

#include "default_file_access.h"

namespace {

// Empty until the first call or SetFileAccessFunctions, so that a call made
// during static initialisation finds the defaults too.
FileAccessFunctions g_functions;

const FileAccessFunctions &Table()
{
    if (!g_functions.open) g_functions = GetDefaultFileAccessFunctions();
    return g_functions;
}

// Every entry a stream needs has the same shape as the file-access call, so
// the file stream is the file handle itself.
const StreamFunctions kFileStreamFunctions = {
    FileAccessTell, FileAccessSeek, FileAccessRead, FileAccessEof, FileAccessIdle, FileAccessClose,
};

template <typename Entry>
void TakeEntry(Entry &slot, Entry given, Entry fallback)
{
    slot = given ? given : fallback;
}

} // namespace

// An entry left null in the given table keeps the default one, so that no
// call through the table can jump to address zero.
extern "C" int SetFileAccessFunctions(const FileAccessFunctions *functions)
{
    const FileAccessFunctions &d = GetDefaultFileAccessFunctions();
    if (!functions) {
        g_functions = d;
        return 0;
    }
    const FileAccessFunctions &f = *functions;
    TakeEntry(g_functions.open, f.open, d.open);
    TakeEntry(g_functions.close, f.close, d.close);
    TakeEntry(g_functions.tell, f.tell, d.tell);
    TakeEntry(g_functions.seek, f.seek, d.seek);
    TakeEntry(g_functions.read, f.read, d.read);
    TakeEntry(g_functions.eof, f.eof, d.eof);
    TakeEntry(g_functions.idle, f.idle, d.idle);
    TakeEntry(g_functions.setDirectory, f.setDirectory, d.setDirectory);
    TakeEntry(g_functions.getDirectory, f.getDirectory, d.getDirectory);
    return 0;
}

int IsDefaultFileAccess()
{
    const FileAccessFunctions &f = Table(), &d = GetDefaultFileAccessFunctions();
    return f.open == d.open && f.close == d.close && f.tell == d.tell && f.seek == d.seek &&
           f.read == d.read && f.eof == d.eof && f.setDirectory == d.setDirectory &&
           f.getDirectory == d.getDirectory;
}

void *FileAccessOpen(const char *fileName, int readAhead, int blocking)
{
    return Table().open(fileName, readAhead, blocking);
}
int FileAccessClose(void *file) { return Table().close(file); }
int FileAccessTell(void *file) { return Table().tell(file); }
int FileAccessSeek(void *file, int offset, int origin) { return Table().seek(file, offset, origin); }
int FileAccessRead(void *buffer, int itemSize, int itemCount, void *file)
{
    return Table().read(buffer, itemSize, itemCount, file);
}
int FileAccessEof(void *file) { return Table().eof(file); }
int FileAccessIdle(void *file) { return Table().idle(file); }
int FileAccessSetDir(const char *path) { return Table().setDirectory(path); }
int FileAccessGetDir(char *buffer) { return Table().getDirectory(buffer); }

const StreamFunctions *GetFileStreamFunctions() { return &kFileStreamFunctions; }

// Both stream tables are constant and usable from the program's start (an
// image can be decoded before InitLibrary), so the start has nothing left to
// set up.
void InstallStreamFunctions() {}

// The replaceable file-access table and the stream tables over it.
#ifndef VEXLO_CORE_FILE_ACCESS_H
#define VEXLO_CORE_FILE_ACCESS_H

#include "../Vexlo.h"

// Calls of the installed table's entries.
void *FileAccessOpen(const char *fileName, int readAhead, int blocking);
int FileAccessClose(void *file);
int FileAccessTell(void *file);
int FileAccessSeek(void *file, int offset, int origin);
int FileAccessRead(void *buffer, int itemSize, int itemCount, void *file);
int FileAccessEof(void *file);
int FileAccessIdle(void *file);
int FileAccessSetDir(const char *path);
int FileAccessGetDir(char *buffer);

// 1 when every entry but idle is the default one.
int IsDefaultFileAccess();

// Installs the file-stream and memory-stream tables (InitLibrary does this).
void InstallStreamFunctions();

// Advances read-ahead and deferred closes of every open file.
void ProcessAsyncReads();

#endif

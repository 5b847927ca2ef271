// The replaceable file-access table and the stream tables over it.
#ifndef VEXLO_CORE_FILE_ACCESS_H
#define VEXLO_CORE_FILE_ACCESS_H

#include "../Vexlo.h"
#include "stream.h"

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

// The stream table over the installed file-access table: the stream is the
// file handle, each entry calls the FileAccess* operation of the same name.
const StreamFunctions *GetFileStreamFunctions();

// Readies the file-stream and memory-stream tables (InitLibrary calls it).
void InstallStreamFunctions();

// Lets pending reads of the default table complete, finishes closes that
// waited for them and starts the next read-ahead block of every open file.
// ProcessMessage runs it.
void ProcessAsyncReads();

#endif

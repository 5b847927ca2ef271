// The default file-access table: Win32 files, read blocking, blocking
// through two read-ahead blocks, or non-blocking with completion routines.
#ifndef VEXLO_CORE_DEFAULT_FILE_ACCESS_H
#define VEXLO_CORE_DEFAULT_FILE_ACCESS_H

#include "../Vexlo.h"

const FileAccessFunctions &GetDefaultFileAccessFunctions();

// Files in the open-file list, those whose close is still pending included.
int CountOpenFiles();

// Test seam: replaces the probe that gives the sector size of a file's drive
// for unbuffered read-ahead (0: cached reads); null restores the real probe.
void SetSectorSizeProbe(int (*probe)(const char *fileName));

#endif

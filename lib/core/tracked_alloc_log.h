// Tracked allocation reported to the application log.
#ifndef VEXLO_CORE_TRACKED_ALLOC_LOG_H
#define VEXLO_CORE_TRACKED_ALLOC_LOG_H

#include "../Vexlo.h"
#include "alloc_record.h"

// 0 when the header equals its guard; else logs "以下のメモリ確保情報が破損しました"
// and the record's dump line, and returns -1.
int CheckAllocRecord(const AllocRecord *record);
// Logs the record's dump line; -1.
int DumpAllocRecord(const AllocRecord *record);
// Logs the allocation totals; -1.
int DumpAllocTotal();

#endif

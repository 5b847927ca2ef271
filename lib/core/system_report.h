// The start-up report of the library, Windows, DirectX and processor facts.
#ifndef VEXLO_CORE_SYSTEM_REPORT_H
#define VEXLO_CORE_SYSTEM_REPORT_H

// Logs the report; ends the process after a message box when DirectX 7 or
// later is missing.
int WriteSystemReport();
int GetMmxUseFlag();

// Test seams: the DirectX detection (returns a version code) and the message
// box of the DirectX exit; null restores the real ones.
void SetDirectXProbe(int (*probe)());
void SetErrorMessageBox(void (*show)(const char *caption, const char *text));

#endif

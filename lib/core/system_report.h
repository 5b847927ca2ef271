#ifndef VEXLO_CORE_SYSTEM_REPORT_H
#define VEXLO_CORE_SYSTEM_REPORT_H

// Logs the library, OS, DirectX and processor facts; ends the process when
// DirectX 7 is missing.
int WriteSystemReport();

#endif

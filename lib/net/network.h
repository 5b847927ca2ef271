#ifndef VEXLO_NET_NETWORK_H
#define VEXLO_NET_NETWORK_H

#include <windows.h>

int EndNetwork();
// Window message carrying socket notifications.
const UINT WM_VEXLO_SOCKET = 0x505;
LRESULT OnSocketEvent(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int PumpNetworkMessages(int autoClose);

// HTTP transfers.
int ResetDownloads();
int EndAllDownloads();
int ProcessDownloads();

#endif

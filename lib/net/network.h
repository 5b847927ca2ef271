#ifndef VEXLO_NET_NETWORK_H
#define VEXLO_NET_NETWORK_H

int EndNetwork();
// HTTP transfers.
int ResetDownloads();
int EndAllDownloads();

#endif

// MulTable: 256 x 256 products (i * j) >> 8, the blitters' 8-bit
// multiplication. Built at display start. Platform-free.
#ifndef VEXLO_DISPLAY_MUL_TABLE_H
#define VEXLO_DISPLAY_MUL_TABLE_H

typedef int MulTableRow[256];

void FillMulTable();
// Row i holds (i * j) >> 8 for j = 0..255.
const MulTableRow *GetMulTable();

#endif

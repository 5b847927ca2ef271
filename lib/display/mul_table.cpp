#include "mul_table.h"

namespace {
MulTableRow g_mulTable[256];
}

void FillMulTable()
{
    for (int i = 0; i < 256; ++i) {
        for (int j = 0; j < 256; ++j) g_mulTable[i][j] = (i * j) >> 8;
    }
}

const MulTableRow *GetMulTable()
{
    return g_mulTable;
}

#include "core_state.h"

#include "../Vexlo.h"

namespace {
CoreState g_core;
}

CoreState &Core()
{
    return g_core;
}

int SetNoDisplayStart(int flag)
{
    g_core.options.noDisplayStart = flag;
    return 0;
}

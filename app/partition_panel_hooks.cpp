#include "partition_panel_hooks.h"

PartitionPanelHooksBlock PartitionPanelHooks;

namespace {

CSourceTreeCtrl* g_pPartitionTree = NULL;

} // namespace

CSourceTreeCtrl* PartitionTree()
{
    return g_pPartitionTree;
}

void SetPartitionTree(CSourceTreeCtrl* pTree)
{
    g_pPartitionTree = pTree;
}

#pragma once

// The file-system steps' folder lists link each folder to its parent by a number (FAT: the parent's
// first cluster, NTFS: its record number). Parent links that loop never reach the root, so the tree
// would show none of their folders: each loop is cut where a walk up from a folder comes back to a
// folder already on its path, and the folder that closes the loop moves under "Lost Dir".

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/recovery/core/engine_types.h"

// `Node` is a list node with `next`; `own` is the member holding a folder's number, `parent` its
// parent's. A walk ends at `rootNumber`, at a parent that no folder of the list has, or at a folder
// placed by an earlier walk. The first folder of the list with a number is the one a parent link finds.
template <typename Node>
void CutParentLoops(Node* head, std::uint32_t Node::*own, std::uint32_t Node::*parent,
                    std::uint32_t rootNumber)
{
    std::unordered_map<std::uint32_t, Node*> byNumber;
    for (Node* node = head; node; node = node->next)
        byNumber.try_emplace(node->*own, node);
    enum : std::uint8_t
    {
        kUnseen,
        kOnPath,
        kPlaced
    };
    std::unordered_map<const Node*, std::uint8_t> state;
    std::vector<Node*> path;
    for (Node* start = head; start; start = start->next) {
        path.clear();
        for (Node* node = start;;) {
            std::uint8_t& mark = state[node];
            if (mark == kPlaced)
                break;
            if (mark == kOnPath) {
                path.back()->*parent = kLostDirValue;
                break;
            }
            mark = kOnPath;
            path.push_back(node);
            const auto found = byNumber.find(node->*parent);
            if (node->*parent == rootNumber || found == byNumber.end())
                break;
            node = found->second;
        }
        for (Node* node : path)
            state[node] = kPlaced;
    }
}

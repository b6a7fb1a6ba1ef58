// item_id_list.h - CItemIdList, the owner of one shell item-id list, freed
// with ILFree.
#pragma once

#include "win/handles.h"

#include <shlobj.h>

namespace handles_detail {
struct ItemIdListTraits {
    using Type = LPITEMIDLIST;
    static LPITEMIDLIST Invalid() { return nullptr; }
    static void Close(LPITEMIDLIST p) { ILFree(p); }
};
} // namespace handles_detail

using CItemIdList = CUniqueHandle<handles_detail::ItemIdListTraits>;

// platform_lists.cpp - ReadPlatformRows and InsertMainSystemRow.
#include "store/platform_lists.h"

#include "res/resource.h"
#include "suite/Palmet.h"
#include "win/res_string.h"

#include <cstring>
#include <memory>

namespace {

constexpr DWORD kKindMainSystem = 0;
constexpr DWORD kKindOffered = 1;
constexpr DWORD kKindDefaultStore = 2;
constexpr DWORD kMainSystemNumber = 255;

// The service's four parallel lists, as Palmet fills them.
struct ServiceLists {
    PALMET_TEXT_LIST files{};
    PALMET_TEXT_LIST names{};
    PALMET_DWORD_LIST kinds{};
    PALMET_DWORD_LIST numbers{};
};

std::string TextAt(const PALMET_TEXT_LIST &list, DWORD i)
{
    if (i >= list.count || i >= PALMET_MAX_PLATFORMS)
        return std::string();
    return std::string(list.text[i], strnlen(list.text[i], MAX_PATH));
}

DWORD ValueAt(const PALMET_DWORD_LIST &list, DWORD i)
{
    return i < list.count && i < PALMET_MAX_PLATFORMS ? list.value[i] : 0;
}

} // namespace

DWORD ReadPlatformRows(PlatformRows &rows)
{
    rows = PlatformRows();
    auto lists = std::make_unique<ServiceLists>();
    const DWORD status = InitVPFInfo(&lists->files, 1, 0, &lists->names, &lists->kinds, &lists->numbers, 3);
    const DWORD count = lists->kinds.count < PALMET_MAX_PLATFORMS ? lists->kinds.count : PALMET_MAX_PLATFORMS;
    for (DWORD k = 0; k < count; ++k) {
        const DWORD kind = ValueAt(lists->kinds, k);
        if (kind == kKindOffered) {
            rows.kinds.push_back(kind);
            rows.numbers.push_back(ValueAt(lists->numbers, k));
            rows.files.push_back(TextAt(lists->files, k));
            rows.names.push_back(TextAt(lists->names, k));
        } else if (kind == kKindDefaultStore) {
            rows.hasDefaultStore = true;
            rows.defaultStore = TextAt(lists->files, k);
        }
    }
    return status;
}

void InsertMainSystemRow(PlatformRows &rows)
{
    const std::string mainSystem = LoadResString(IDS_MAIN_SYSTEM);
    rows.kinds.insert(rows.kinds.begin(), kKindMainSystem);
    rows.numbers.insert(rows.numbers.begin(), kMainSystemNumber);
    rows.files.insert(rows.files.begin(), mainSystem);
    rows.names.insert(rows.names.begin(), mainSystem);
}

// Libraries that export the resource table symbol but are no sound resource
// library, built once per case (TBM_ODD_TABLE):
//   1  the wrong magic number, as a library of another program might carry;
//   2  entries promised but no entry list;
//   3  a sound table whose one text entry has no data.
#include "ResourceTable.h"

namespace {

const unsigned char kText[] = "not a resource";

#if TBM_ODD_TABLE == 3
const TbmResourceEntry kEntries[] = {{kResTypeString, nullptr, 101u, nullptr, nullptr, 14u}};
#else
const TbmResourceEntry kEntries[] = {{kResTypeString, nullptr, 101u, nullptr, kText, 14u}};
#endif

constexpr unsigned kMagic = TBM_ODD_TABLE == 1 ? kResourceTableMagic + 1 : kResourceTableMagic;
constexpr const TbmResourceEntry* kList = TBM_ODD_TABLE == 2 ? nullptr : kEntries;

} // namespace

extern "C" __attribute__((visibility("default")))
const TbmResourceTable tbm_resource_table = {kMagic, kResourceTableVersion, 1, kList};

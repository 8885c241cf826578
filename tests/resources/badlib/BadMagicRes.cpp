// A library that looks like a resource library but carries the wrong magic
// number, as a library of another program that happens to use the same symbol.
#include "ResourceTable.h"

namespace {

const unsigned char kText[] = "not a resource";
const TbmResourceEntry kEntries[] = {{kResTypeString, nullptr, 101u, nullptr, kText, 14u}};

} // namespace

extern "C" __attribute__((visibility("default"))) const TbmResourceTable tbm_resource_table = {
    kResourceTableMagic + 1, kResourceTableVersion, 1, kEntries};

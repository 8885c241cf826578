// Writes the seed inputs of fuzz_dbx5_folder into the folder named on the command
// line: folder indexes made by the tests' own builder, small enough to mutate well.
#include "Dbx5Builder.h"

#include <fstream>
#include <iostream>
#include <string>

namespace {

using tbmtest::Dbx5Builder;
using tbmtest::Dbx5Field;

bool Write(const std::string& folder, const std::string& name, const std::string& bytes)
{
    std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string Nested(unsigned perNode, int count, bool nodesFirst)
{
    Dbx5Builder builder(perNode);
    for (int i = 0; i < count; ++i)
        builder.Add(Dbx5Builder::Folder(i + 1, i % 4 == 0 ? -1 : i, "F" + std::to_string(i),
                                        "f" + std::to_string(i) + ".dbx", 10u * i));
    builder.Add({Dbx5Field::Direct(0x00, 0x7FFFFF), Dbx5Field::Direct(0x01, 3),
                 Dbx5Field::Text(0x02, "direct"), Dbx5Field::Text(0x1C, "watched")});
    return builder.Build(nodesFirst);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: dbx5_fuzz_seeds FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = Write(folder, "three-per-node", Nested(3, 12, false)) &&
              Write(folder, "nodes-first", Nested(2, 6, true)) &&
              Write(folder, "one-node", Nested(51, 4, false));
    Dbx5Builder cycle;
    cycle.Add(Dbx5Builder::Folder(1, 2, "A", "a.dbx"));
    cycle.Add(Dbx5Builder::Folder(2, 1, "B", "../b.dbx"));
    cycle.Add(Dbx5Builder::Folder(3, 3, "C", "a.dbx"));
    ok = ok && Write(folder, "cycles", cycle.Build());
    return ok ? 0 : 1;
}

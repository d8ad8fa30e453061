// dBASE tables: the header, the field descriptors and every record, into a sink that keeps nothing.
#include "dbf_table_reader.h"

namespace {

class DiscardingSink final : public DbfTableSink
{
public:
    void InsertColumn(int, const std::string&, int) override {}
    void InsertRow(int, const std::string&) override {}
    void SetCell(int, int, char, const std::string&) override {}
    void DeleteAllRowsAndColumns() override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MemoryByteSource source(std::vector<std::uint8_t>(data, data + size));
    DiscardingSink sink;
    LoadDbfTable(source, sink);
    return 0;
}

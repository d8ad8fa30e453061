// Access databases: the header, the catalog, every table's definition and its records, as the preview
// reads them (no more than its 10,000 records a table).
#include <memory>

#include "jet_database.h"

namespace {

constexpr int kRecordsPerTable = 10000;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        jet::Database database(
            std::make_unique<jet::MemoryPageFile>(std::vector<std::uint8_t>(data, data + size), false));
        database.ReadRelations();
        for (const jet::CatalogObject& object : database.Objects()) {
            if (object.type != jet::kObjectTable)
                continue;
            jet::TableScan scan(database, database.ReadDefinition(object));
            std::vector<jet::Value> values;
            for (int i = 0; i < kRecordsPerTable && scan.Next(values); ++i) {
            }
        }
    } catch (const jet::Error&) {
        // A damaged database is refused with a reason; nothing else may escape.
    }
    return 0;
}

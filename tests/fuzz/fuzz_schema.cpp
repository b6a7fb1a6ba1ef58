// Fuzzes the profile schema parser: any text either parses into fields
// within the documented limits or is refused.
#include "schema.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    std::vector<palmet::SchemaField> fields;
    if (!palmet::ParseSchema(text.c_str(), fields))
        return 0;
    if (fields.empty() || fields.size() > palmet::kMaxSchemaFields)
        std::abort();
    for (const palmet::SchemaField &f : fields) {
        if (f.name.empty() || f.name.size() > palmet::kMaxFieldName || f.size > palmet::kMaxFieldSize)
            std::abort();
    }
    return 0;
}

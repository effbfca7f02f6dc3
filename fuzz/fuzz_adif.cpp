// Feeds arbitrary bytes to the ADIF reader and the field mapping, as the import does,
// and checks what the reader promises: every field lies inside the text, and reading
// only moves forward.
#include "document/AdifQsoMapping.h"
#include "document/AdifReader.h"

#include <cstddef>
#include <cstdint>

namespace {

bool inside(QByteArrayView part, const char *begin, const char *end)
{
    return part.isEmpty() || (part.data() >= begin && part.data() + part.size() <= end);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto *begin = reinterpret_cast<const char *>(data);
    const char *end = begin + size;
    AdifReader reader(QByteArrayView(begin, static_cast<qsizetype>(size)));
    if (!reader.skipHeader())
        return 0;
    Sqlite3DB::UM_RECORD record = AdifQsoMapping::startRecord();
    AdifReader::Field field;
    qsizetype previous = reader.position();
    while (reader.next(field)) {
        if (reader.position() <= previous || reader.position() > reader.size())
            __builtin_trap();
        if (!inside(field.name, begin, end) || !inside(field.value, begin, end))
            __builtin_trap();
        previous = reader.position();
        if (AdifQsoMapping::endsRecord(field.name))
            record = AdifQsoMapping::startRecord();
        else if (field.hasLength)
            AdifQsoMapping::apply(record, field.name, field.value);
    }
    return 0;
}

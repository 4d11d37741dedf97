// Lists of records in the project file: a count, then the records one after another. Reading
// empties the list first and makes each record default-constructed before it reads itself.
#pragma once

#include "core/model/CArchive.h"

namespace velkan {

// The fewest bytes any record of a kind can take, so a count that the rest of the file cannot
// hold is refused before the list grows.
template <typename R>
constexpr size_t kMinRecordSize = 12;

template <typename List>
void WriteRecordList(CArchive& ar, List& list)
{
    ar.WriteCount(list.size());
    for (auto& record : list) record.Serialize(ar);
}

template <typename List>
void ReadRecordList(CArchive& ar, List& list)
{
    using Record = std::decay_t<decltype(list[0])>;
    list.clear();
    size_t count = ar.ReadCount(kMinRecordSize<Record>, sizeof(Record));
    for (size_t i = 0; i < count; ++i) {
        Record record;
        record.Serialize(ar);
        list.push_back(std::move(record));
    }
}

}  // namespace velkan

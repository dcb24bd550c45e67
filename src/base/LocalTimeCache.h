#pragma once

#include "base/DateValue.h"

#include <cstdint>
#include <limits>

namespace vx {

// The local date value of a moment, with the zone looked up once a minute instead of on every
// reading. A zone's offset holds for a whole minute but for the rare minute that holds a change
// of offset; such a minute is converted reading by reading. The zone itself (TZ, the system's
// zone file) is looked at again at the first reading of each minute, so a zone changed while the
// program runs shows from the next minute on. Every value is the one LocalDateValue gives.
class LocalTimeCache {
public:
    DateValue At(std::int64_t unixMilliseconds);

private:
    static constexpr std::int64_t kNoMinute = std::numeric_limits<std::int64_t>::min();
    std::int64_t minute_ = kNoMinute; // the UTC minute looked up last, in seconds since 1970
    bool steady_ = false;             // whether one offset holds for the whole of that minute
    std::int64_t offset_ = 0;         // local time minus UTC there, in seconds
};

} // namespace vx
